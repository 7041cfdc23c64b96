// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarService.h"

#include "calendar/CalendarWindow.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

#include <QUuid>

namespace {

std::shared_ptr<rest::CalendarEventsListQuery> upcomingQuery(const QDateTime &now, int days, int maxResults,
                                                             const QString &pageToken)
{
    auto query = rest::CalendarEventsListQuery::query(QStringLiteral("primary"));
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

} // namespace

QCoro::Task<QList<CalendarEvent>> CalendarService::upcoming(std::shared_ptr<rest::Authorizer> authorizer,
                                                            int days, int maxResults)
{
    rest::CalendarAPIService service;
    service.authorizer = std::move(authorizer);
    service.shouldFetchNextPages = false;
    // The window and the pages' time bounds are fixed once for every page.
    const QDateTime now = QDateTime::currentDateTime();
    auto pageQuery = [days, maxResults, now](const QString &token) -> rest::RestQueryPtr {
        return upcomingQuery(now, days, maxResults, token);
    };
    QList<CalendarEvent> events;
    for (const rest::RestObjectPtr &item : co_await rest::collectItems(service, pageQuery, maxResults))
        events.append(eventFromResource(*item));
    co_return events;
}

CalendarEvent CalendarService::eventFromResource(const rest::RestObject &item)
{
    CalendarEvent event;
    event.id = item.identifier().value_or(QUuid::createUuid().toString(QUuid::WithoutBraces));
    event.title = item.stringValue(QStringLiteral("summary")).value_or(QStringLiteral("(no title)"));

    const auto start = item.objectValue(QStringLiteral("start"));
    const auto dateTime = start ? start->dateTimeValue(QStringLiteral("dateTime")) : std::nullopt;
    const auto date = start ? start->dateTimeValue(QStringLiteral("date")) : std::nullopt;
    if (dateTime && dateTime->isValid()) {
        event.start = dateTime->date();
    } else if (date && date->isValid()) {
        // A date-only value stands for noon UTC of its day.
        event.start = date->date();
        event.isAllDay = true;
    }

    event.location = item.stringValue(QStringLiteral("location"));
    event.attendeeCount = int(item.value(QStringLiteral("attendees")).toArray().size());
    event.htmlLink = item.stringValue(QStringLiteral("htmlLink"));
    return event;
}
