// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A keychain item's bytes read back as a session. Anything another program
// stored there must decode to nothing or to a session that archives and
// decodes again to the same bytes.

#include "FuzzSupport.h"

#include "oauth/Archive.h"
#include "oauth/AuthSession.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace oauth::archive;
    const auto session = unarchiveAuthSession(fuzz::bytes(data, size));
    if (!session)
        return 0;
    const QByteArray archived = archiveAuthSession(*session);
    const auto again = unarchiveAuthSession(archived);
    fuzz::check(again != nullptr, "an archived session decodes", QString::fromUtf8(archived));
    fuzz::check(archiveAuthSession(*again) == archived, "decoding and archiving keeps the session",
                QString::fromUtf8(archived));
    return 0;
}
