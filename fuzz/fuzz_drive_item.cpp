// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A Drive file list answer, from its bytes to the records of the tab.

#include "FuzzSupport.h"

#include "drive/DriveService.h"
#include "rest/AnswerParsing.h"
#include "rest/Resources.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace rest;
    const Answer answer{fuzz::bytes(data, size), std::nullopt, 200, "application/json"};
    const Parsed parsed = parseAnswer(answer, ObjectClass::of<DriveFileListResource>(),
                                      ObjectClassResolver(driveKindMap()), false);
    const auto files = std::dynamic_pointer_cast<CollectionObject>(parsed.object);
    if (!files)
        return 0;
    for (const RestObjectPtr &file : files->items()) {
        const DriveItem item = DriveService::itemFromResource(*file);
        (void)item.systemImage();
        (void)item.modifiedLabel();
        (void)item.isFolder();
    }
    return 0;
}
