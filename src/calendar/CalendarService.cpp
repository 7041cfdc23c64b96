// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarService.h"

#include "calendar/CalendarWindow.h"
#include "calendar/MeetingLink.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>

namespace {

std::shared_ptr<rest::CalendarEventsListQuery> upcomingQuery(const QString &calendarId, const QDateTime &now,
                                                             int days, int maxResults,
                                                             const QString &pageToken)
{
    auto query = rest::CalendarEventsListQuery::query(calendarId);
    query->setFields(CalendarService::EventFields);
    query->setSingleEvents(true);
    query->setOrderBy(QStringLiteral("startTime"));
    query->setMaxResults(maxResults);
    query->setTimeMin(rest::DateTime::fromDate(now.toUTC()));
    if (auto end = calendar::windowEnd(now, days))
        query->setTimeMax(rest::DateTime::fromDate(*end));
    if (!pageToken.isEmpty())
        query->setPageToken(pageToken);
    return query;
}

std::optional<QDateTime> timeOf(const rest::RestObject &item, const QString &key, bool *allDay = nullptr)
{
    const auto when = item.objectValue(key);
    const auto dateTime = when ? when->dateTimeValue(QStringLiteral("dateTime")) : std::nullopt;
    const auto date = when ? when->dateTimeValue(QStringLiteral("date")) : std::nullopt;
    if (dateTime && dateTime->isValid())
        return dateTime->date();
    if (date && date->isValid()) {
        // A date-only value stands for noon UTC of its day.
        if (allDay)
            *allDay = true;
        return date->date();
    }
    return std::nullopt;
}

// Each object of a JSON list, read by `read`; other values are read as empty objects.
template<typename Record, typename Read>
QList<Record> recordsOf(const QJsonArray &list, Read read)
{
    QList<Record> records;
    for (const QJsonValue &value : list)
        records.append(read(value.toObject()));
    return records;
}

QList<CalendarAttendee> attendeesOf(const QJsonArray &list)
{
    return recordsOf<CalendarAttendee>(list, [](const QJsonObject &a) {
        return CalendarAttendee{a.value(u"email").toString(), a.value(u"displayName").toString(),
                                a.value(u"responseStatus").toString(), a.value(u"self").toBool()};
    });
}

QList<CalendarAttachment> attachmentsOf(const QJsonArray &list)
{
    return recordsOf<CalendarAttachment>(list, [](const QJsonObject &a) {
        return CalendarAttachment{a.value(u"title").toString(), a.value(u"fileUrl").toString(),
                                  a.value(u"mimeType").toString(), a.value(u"iconLink").toString()};
    });
}

} // namespace

const QString CalendarService::EventFields = QStringLiteral(
    "nextPageToken,defaultReminders,items(id,iCalUID,summary,start,end,location,description,htmlLink,"
    "hangoutLink,"
    "conferenceData(entryPoints(entryPointType,uri,label)),attendees(email,displayName,responseStatus,self),"
    "attachments(title,fileUrl,mimeType,iconLink),reminders)");

QCoro::Task<QList<CalendarEvent>> CalendarService::upcoming(std::shared_ptr<rest::Authorizer> authorizer,
                                                            int days, int maxResults, QString calendarId)
{
    rest::CalendarAPIService service;
    service.authorizer = std::move(authorizer);
    service.shouldFetchNextPages = false;
    // The window and the pages' time bounds are fixed once for every page.
    const QDateTime now = QDateTime::currentDateTime();
    // Each page names the calendar's default reminders.
    QList<CalendarEvent> events;
    if (maxResults <= 0)
        co_return events;
    co_await rest::forEachPage(
        service,
        [&](const QString &token) { return upcomingQuery(calendarId, now, days, maxResults, token); },
        [&](const rest::CollectionObject &answer) {
            const QList<int> defaults = popupMinutes(
                answer.value(QStringLiteral("defaultReminders")).toArray());
            if (answer.hasKey(answer.collectionItemsKey()))
                for (const rest::RestObjectPtr &item : answer.items())
                    events.append(eventFromResource(*item, calendarId, defaults));
            return events.size() < maxResults;
        });
    if (events.size() > maxResults)
        events.resize(maxResults);
    co_return events;
}

QList<int> CalendarService::popupMinutes(const QJsonArray &reminders)
{
    QList<int> minutes;
    for (const QJsonValue &value : reminders) {
        const QJsonObject reminder = value.toObject();
        const QJsonValue m = reminder.value(u"minutes");
        // Google allows 0 to four weeks; anything else is not a reminder.
        if (reminder.value(u"method").toString() == u"popup" && m.isDouble() && m.toDouble() >= 0
            && m.toDouble() <= 40320)
            minutes.append(m.toInt());
    }
    std::sort(minutes.begin(), minutes.end());
    minutes.erase(std::unique(minutes.begin(), minutes.end()), minutes.end());
    return minutes;
}

QString CalendarService::rgbColour(const QString &colour)
{
    static const QRegularExpression rgb(QStringLiteral("^#[0-9a-fA-F]{6}$"));
    return rgb.match(colour).hasMatch() ? colour.toLower() : QString();
}

const CalendarInfo *listedCalendar(const QList<CalendarInfo> &calendars, const QString &id)
{
    for (const CalendarInfo &calendar : calendars)
        if (calendar.id == id || (calendar.primary && id == u"primary"))
            return &calendar;
    return nullptr;
}

QCoro::Task<QList<CalendarInfo>> CalendarService::calendars(std::shared_ptr<rest::Authorizer> authorizer)
{
    rest::CalendarAPIService service;
    service.authorizer = std::move(authorizer);
    service.shouldFetchNextPages = false;
    auto pageQuery = [](const QString &token) -> rest::RestQueryPtr {
        auto query = rest::CalendarCalendarListListQuery::query();
        query->setMaxResults(250);
        query->setFields(
            QStringLiteral("nextPageToken,items(id,summary,summaryOverride,backgroundColor,primary)"));
        if (!token.isEmpty())
            query->setPageToken(token);
        return query;
    };
    QList<CalendarInfo> calendars;
    for (const rest::RestObjectPtr &item : co_await rest::collectItems(service, pageQuery, 1000)) {
        const auto id = item->identifier();
        if (!id || id->isEmpty())
            continue;
        const QString colour = item->stringValue(QStringLiteral("backgroundColor")).value_or(QString());
        QString name = item->stringValue(QStringLiteral("summaryOverride")).value_or(QString());
        if (name.isEmpty())
            name = item->stringValue(QStringLiteral("summary")).value_or(*id);
        calendars.append(
            {*id, name, rgbColour(colour), item->boolValue(QStringLiteral("primary")).value_or(false)});
    }
    co_return calendars;
}

CalendarEvent CalendarService::eventFromResource(const rest::RestObject &item, const QString &calendarId,
                                                 const QList<int> &defaultMinutes)
{
    CalendarEvent event;
    event.id = item.identifier().value_or(QUuid::createUuid().toString(QUuid::WithoutBraces));
    event.title = item.stringValue(QStringLiteral("summary")).value_or(QStringLiteral("(no title)"));
    event.iCalUID = item.stringValue(QStringLiteral("iCalUID")).value_or(QString());
    event.calendarId = calendarId;
    event.start = timeOf(item, QStringLiteral("start"), &event.isAllDay);
    event.end = timeOf(item, QStringLiteral("end"));

    event.location = item.stringValue(QStringLiteral("location"));
    event.description = item.stringValue(QStringLiteral("description"));
    const QJsonArray attendees = item.value(QStringLiteral("attendees")).toArray();
    event.attendeeCount = int(attendees.size());
    event.attendees = attendeesOf(attendees);
    event.declined = std::ranges::any_of(
        event.attendees, [](const CalendarAttendee &a) { return a.self && a.responseStatus == u"declined"; });
    event.attachments = attachmentsOf(item.value(QStringLiteral("attachments")).toArray());
    event.htmlLink = item.stringValue(QStringLiteral("htmlLink"));
    event.meetingLink = calendar::meetingLink(item.JSON());

    const QJsonObject reminders = item.value(QStringLiteral("reminders")).toObject();
    // Google's default when the event says nothing is the calendar's own.
    event.remindersUseDefault = reminders.value(u"useDefault").toBool(!reminders.contains(u"overrides"));
    event.reminderMinutes = event.remindersUseDefault ? defaultMinutes
                                                      : popupMinutes(reminders.value(u"overrides").toArray());
    return event;
}
