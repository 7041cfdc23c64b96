// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/ChosenCalendars.h"

#include "core/Error.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace calendar {

namespace {

template<typename T>
struct Outcome
{
    T value{};
    std::optional<Error> error;
};

// Every request is sent before the first answer is awaited, and none throws
// past its own task: a task left unawaited would outlive this load. The
// awaited value is named before it is wrapped: GCC 12 destroys a co_await
// result twice when it sits inside a braced initialiser.
QCoro::Task<Outcome<QList<CalendarEvent>>> eventsOf(std::shared_ptr<rest::Authorizer> session, QString id,
                                                    int windowDays, int maxResults)
{
    try {
        QList<CalendarEvent> events = co_await CalendarService::upcoming(session, windowDays, maxResults, id);
        co_return {std::move(events), {}};
    } catch (const Error &error) {
        co_return {{}, error};
    }
}

QCoro::Task<Outcome<QList<CalendarInfo>>> listOf(std::shared_ptr<rest::Authorizer> session)
{
    try {
        QList<CalendarInfo> calendars = co_await CalendarService::calendars(session);
        co_return {std::move(calendars), {}};
    } catch (const Error &error) {
        co_return {{}, error};
    }
}

} // namespace

QCoro::Task<ChosenEvents> loadChosen(std::shared_ptr<rest::Authorizer> session, QStringList calendarIds,
                                     int windowDays, int maxResults)
{
    auto listing = listOf(session);
    std::vector<QCoro::Task<Outcome<QList<CalendarEvent>>>> loads;
    for (const QString &id : calendarIds)
        loads.push_back(eventsOf(session, id, windowDays, maxResults));

    const Outcome<QList<CalendarInfo>> list = co_await listing;
    ChosenEvents chosen;
    std::optional<Error> firstError = list.error;
    int shown = 0;
    for (qsizetype i = 0; i < calendarIds.size(); ++i) {
        const Outcome<QList<CalendarEvent>> load = co_await loads[size_t(i)];
        const CalendarInfo *calendar = listedCalendar(list.value, calendarIds.at(i));
        if (!calendar)
            continue;
        ++shown;
        if (load.error) {
            chosen.failed.append(calendar->name);
            firstError = firstError ? firstError : load.error;
        }
        chosen.events.append(load.value);
    }
    if (list.error || (firstError && chosen.failed.size() == shown))
        throw *firstError;
    chosen.calendars = list.value;
    chosen.events = mergedEvents(chosen.events, chosen.calendars);
    if (chosen.events.size() > maxResults)
        chosen.events.resize(maxResults);
    co_return chosen;
}

QList<CalendarEvent> mergedEvents(QList<CalendarEvent> events, const QList<CalendarInfo> &calendars)
{
    auto rank = [&](const CalendarEvent &event) {
        for (qsizetype i = 0; i < calendars.size(); ++i)
            if (listedCalendar({calendars.at(i)}, event.calendarId))
                return i;
        return calendars.size();
    };
    std::stable_sort(events.begin(), events.end(), [&](const CalendarEvent &a, const CalendarEvent &b) {
        const bool aTimed = a.start && a.start->isValid(), bTimed = b.start && b.start->isValid();
        if (aTimed != bTimed)
            return !aTimed;
        if (aTimed && *a.start != *b.start)
            return *a.start < *b.start;
        return rank(a) < rank(b);
    });
    return events;
}

} // namespace calendar
