// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "calendar/CalendarEvent.h"

#include <QDateTime>
#include <QList>
#include <QTimeZone>

#include <optional>

// The brief's "Today", worked out from the events alone: what is left of
// today and tomorrow morning, which of those overlap, and the next meeting
// that has a call to join.
struct TodayPlan
{
    // Tomorrow morning ends at this hour, local time.
    static constexpr int MorningEndHour = 12;

    QList<CalendarEvent> left;
    // Pairs of timed events that overlap, neither declined, in start order.
    QList<std::pair<CalendarEvent, CalendarEvent>> conflicts;
    std::optional<CalendarEvent> nextMeeting;

    // Events not over by `now` that start before tomorrow noon in `zone`;
    // all-day events only when they are today's.
    static TodayPlan make(const QList<CalendarEvent> &events, const QDateTime &now, const QTimeZone &zone);

    friend bool operator==(const TodayPlan &, const TodayPlan &) = default;
};
