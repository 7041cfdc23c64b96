// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A REST answer's JSON body built into objects (with the kind maps of the
// APIs) and read through every typed accessor, as the clients read them.

#include "FuzzSupport.h"

#include "rest/AnswerParsing.h"
#include "rest/Resources.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace rest;

TARNLIGHT_FUZZ_TARGET

namespace {

void readEverything(const RestObject &object, int depth)
{
    if (depth > 4)
        return;
    for (const QString &key : object.keys()) {
        (void)object.stringValue(key);
        (void)object.int64Value(key);
        (void)object.uint64Value(key);
        (void)object.doubleValue(key);
        (void)object.boolValue(key);
        (void)object.numberValue(key);
        if (const auto dateTime = object.dateTimeValue(key))
            (void)dateTime->RFC3339String();
        (void)object.stringArrayValue(key);
        if (const auto child = object.objectValue(key))
            readEverything(*child, depth + 1);
        for (const auto &element : object.objectArrayValue(key))
            readEverything(*element, depth + 1);
    }
    (void)object.JSON();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int api = input.ConsumeIntegralInRange<int>(0, 2);
    const bool dataWrapper = input.ConsumeBool();
    const std::string body = input.ConsumeRemainingBytesAsString();
    Answer answer{QByteArray::fromStdString(body), std::nullopt, 200, "application/json; charset=UTF-8"};
    const ObjectClassResolver resolvers[] = {ObjectClassResolver(), ObjectClassResolver(calendarKindMap()),
                                             ObjectClassResolver(driveKindMap())};
    const ObjectClass *expected[] = {ObjectClass::of<GmailListMessagesResource>(),
                                     ObjectClass::of<CalendarEventsResource>(),
                                     ObjectClass::of<DriveFileListResource>()};
    const Parsed parsed = parseAnswer(answer, expected[api], resolvers[api], dataWrapper);
    if (parsed.error)
        (void)parsed.error->description();
    if (!parsed.object)
        return 0;
    readEverything(*parsed.object, 0);
    if (const auto collection = std::dynamic_pointer_cast<CollectionObject>(parsed.object)) {
        for (const auto &item : collection->items())
            readEverything(*item, 1);
    }
    return 0;
}
