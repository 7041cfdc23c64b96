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

// Guests and files as the meeting card shows them.
QJsonArray attendeeValues(const QList<CalendarAttendee> &attendees)
{
    return writeRows(attendees, [](const CalendarAttendee &a) {
        return QJsonObject{{QStringLiteral("email"), a.email},
                           {QStringLiteral("displayName"), a.displayName},
                           {QStringLiteral("responseStatus"), a.responseStatus},
                           {QStringLiteral("self"), a.self}};
    });
}

QJsonArray attachmentValues(const QList<CalendarAttachment> &attachments)
{
    return writeRows(attachments, [](const CalendarAttachment &a) {
        return QJsonObject{{QStringLiteral("title"), a.title},
                           {QStringLiteral("fileUrl"), a.fileUrl},
                           {QStringLiteral("mimeType"), a.mimeType},
                           {QStringLiteral("iconLink"), a.iconLink}};
    });
}

// More than the meeting card lists; Google allows a few hundred guests.
constexpr int MaxKeptGuests = 500;
constexpr int MaxKeptFiles = 50;

} // namespace

QJsonArray CalendarViewModel::cachedRows() const
{
    return writeRows(events(), [this](const CalendarEvent &event) {
        const CalendarInfo *calendar = listedCalendar(m_calendars, event.calendarId);
        return QJsonObject{{QStringLiteral("id"), event.id},
                           {QStringLiteral("colour"), calendar ? calendar->colour : QString()},
                           {QStringLiteral("title"), event.title},
                           {QStringLiteral("start"), timeValue(event.start)},
                           {QStringLiteral("isAllDay"), event.isAllDay},
                           {QStringLiteral("location"), optionalTextValue(event.location)},
                           {QStringLiteral("attendeeCount"), event.attendeeCount},
                           {QStringLiteral("htmlLink"), optionalTextValue(event.htmlLink)},
                           {QStringLiteral("calendarId"), event.calendarId},
                           {QStringLiteral("end"), timeValue(event.end)},
                           {QStringLiteral("meetingLink"), event.meetingLink},
                           {QStringLiteral("declined"), event.declined},
                           {QStringLiteral("attendees"), attendeeValues(event.attendees)},
                           {QStringLiteral("attachments"), attachmentValues(event.attachments)}};
    });
}

void CalendarViewModel::showCachedRows(const QJsonArray &rows)
{
    // Each calendar's colour as the rows kept it, checked like any answer.
    QList<CalendarInfo> calendars;
    const QList<CalendarEvent> events = readRows<CalendarEvent>(rows, [&](const RowReader &row) {
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
        for (const RowReader &a : row.list(u"attendees", MaxKeptGuests))
            event.attendees.append(
                {a.text(u"email"), a.text(u"displayName"), a.text(u"responseStatus"), a.flag(u"self")});
        for (const RowReader &a : row.list(u"attachments", MaxKeptFiles))
            event.attachments.append(
                {a.text(u"title"), a.text(u"fileUrl"), a.text(u"mimeType"), a.text(u"iconLink")});
        if (!listedCalendar(calendars, event.calendarId))
            calendars.append({event.calendarId, {}, CalendarService::rgbColour(row.text(u"colour")), false});
        return event;
    });
    setEvents(events, calendars, {});
}
