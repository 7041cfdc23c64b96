// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// How the calendar tab's events are kept between runs.

#include "calendar/CalendarViewModel.h"
#include "calendar/MeetingLink.h"

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
                                {QStringLiteral("htmlLink"), optionalTextValue(event.htmlLink)},
                                {QStringLiteral("calendarId"), event.calendarId},
                                {QStringLiteral("end"), timeValue(event.end)},
                                {QStringLiteral("meetingLink"), event.meetingLink},
                                {QStringLiteral("declined"), event.declined}});
    }
    return rows;
}

void CalendarViewModel::showCachedRows(const QJsonArray &rows)
{
    setEvents(readRows<CalendarEvent>(rows, [](const RowReader &row) {
        CalendarEvent event;
        event.id = row.text(u"id");
        event.calendarId = row.text(u"calendarId");
        event.title = row.text(u"title");
        event.start = row.time(u"start");
        event.end = row.time(u"end");
        event.isAllDay = row.flag(u"isAllDay");
        event.location = row.optionalText(u"location");
        event.attendeeCount = row.count(u"attendeeCount", MaxAttendees);
        event.htmlLink = row.optionalText(u"htmlLink");
        // The file is read as untrusted: a link opens only if it still reads
        // as a meeting link.
        event.meetingLink = calendar::meetingLink(
            QJsonObject{{QStringLiteral("location"), row.text(u"meetingLink")}});
        event.declined = row.flag(u"declined");
        return event;
    }));
}
