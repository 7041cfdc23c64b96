// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// How the calendar tab's events are kept between runs.

#include "calendar/CalendarViewModel.h"

#include "support/ListCache.h"

using namespace support::listcache;

namespace {
// More guests than any calendar allows.
constexpr int MaxAttendees = 100000;
} // namespace

QJsonArray CalendarViewModel::cachedRows() const
{
    QJsonArray rows;
    for (const CalendarEvent &event : events()) {
        rows.append(QJsonObject{{QStringLiteral("id"), event.id},
                                {QStringLiteral("title"), event.title},
                                {QStringLiteral("start"), timeValue(event.start)},
                                {QStringLiteral("isAllDay"), event.isAllDay},
                                {QStringLiteral("location"), optionalTextValue(event.location)},
                                {QStringLiteral("attendeeCount"), event.attendeeCount},
                                {QStringLiteral("htmlLink"), optionalTextValue(event.htmlLink)}});
    }
    return rows;
}

void CalendarViewModel::showCachedRows(const QJsonArray &rows)
{
    setEvents(readRows<CalendarEvent>(rows, [](const RowReader &row) {
        return CalendarEvent{row.text(u"id"),
                             row.text(u"title"),
                             row.time(u"start"),
                             row.flag(u"isAllDay"),
                             row.optionalText(u"location"),
                             row.count(u"attendeeCount", MaxAttendees),
                             row.optionalText(u"htmlLink")};
    }));
}
