// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "brief/TodayPlan.h"

#include <algorithm>

namespace {

bool isTimed(const CalendarEvent &event)
{
    return !event.isAllDay && event.start && event.start->isValid();
}

// An event without an end lasts no time: it ends where it starts.
QDateTime endOf(const CalendarEvent &event)
{
    return event.end && event.end->isValid() ? *event.end : *event.start;
}

bool overlap(const CalendarEvent &a, const CalendarEvent &b)
{
    return *a.start < endOf(b) && *b.start < endOf(a);
}

bool isLeft(const CalendarEvent &event, const QDateTime &now, const QDateTime &morningEnd, const QDate &today)
{
    if (!event.start || !event.start->isValid())
        return false;
    if (event.isAllDay)
        return event.start->toUTC().date() == today; // all-day dates stand for noon UTC
    return endOf(event) > now && *event.start < morningEnd;
}

} // namespace

TodayPlan TodayPlan::make(const QList<CalendarEvent> &events, const QDateTime &now, const QTimeZone &zone)
{
    const QDate today = now.toTimeZone(zone).date();
    const QDateTime morningEnd(today.addDays(1), QTime(MorningEndHour, 0), zone);
    TodayPlan plan;
    for (const CalendarEvent &event : events)
        if (isLeft(event, now, morningEnd, today))
            plan.left.append(event);
    std::stable_sort(plan.left.begin(), plan.left.end(), [](const auto &a, const auto &b) {
        return (a.isAllDay && !b.isAllDay) || (a.isAllDay == b.isAllDay && *a.start < *b.start);
    });
    QList<CalendarEvent> timed;
    for (const CalendarEvent &event : plan.left)
        if (isTimed(event) && !event.declined)
            timed.append(event);
    for (qsizetype i = 0; i < timed.size(); ++i)
        for (qsizetype j = i + 1; j < timed.size() && *timed[j].start < endOf(timed[i]); ++j)
            if (overlap(timed[i], timed[j]))
                plan.conflicts.append({timed[i], timed[j]});
    for (const CalendarEvent &event : timed)
        if (!event.meetingLink.isEmpty()) {
            plan.nextMeeting = event;
            break;
        }
    return plan;
}
