// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A Calendar events answer, from its bytes to the records of the tab.

#include "FuzzSupport.h"

#include "calendar/CalendarService.h"
#include "calendar/CalendarViewModel.h"
#include "rest/AnswerParsing.h"
#include "rest/Resources.h"

#include <QTimeZone>

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace rest;
    const Answer answer{fuzz::bytes(data, size), std::nullopt, 200, "application/json"};
    const Parsed parsed = parseAnswer(answer, ObjectClass::of<CalendarEventsResource>(),
                                      ObjectClassResolver(calendarKindMap()), false);
    const auto events = std::dynamic_pointer_cast<CollectionObject>(parsed.object);
    if (!events)
        return 0;
    QList<CalendarEvent> records;
    for (const RestObjectPtr &item : events->items()) {
        const CalendarEvent event = CalendarService::eventFromResource(*item);
        (void)event.timeLabel();
        records.append(event);
    }
    static const QDateTime now(QDate(2025, 6, 3), QTime(10, 15), Qt::UTC);
    (void)CalendarViewModel::groupByDay(records, now, QTimeZone(QByteArrayLiteral("Europe/Berlin")));
    return 0;
}
