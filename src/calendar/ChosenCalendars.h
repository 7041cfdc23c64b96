// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "calendar/CalendarEvent.h"
#include "calendar/CalendarService.h"

#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>

namespace rest {
class Authorizer;
}

namespace calendar {

// The upcoming events of an account's chosen calendars, as the agenda and
// the reminders see them.
struct ChosenEvents
{
    QList<CalendarEvent> events;   // merged, at most the wanted number
    QList<CalendarInfo> calendars; // the user's whole list, for names and colours
    QStringList failed;            // names of chosen calendars that did not load
};

// Asks for the calendar list and every chosen calendar at the same time.
// A chosen calendar no longer on the list drops out without a word; the
// load fails only when the list does or every chosen calendar did.
QCoro::Task<ChosenEvents> loadChosen(std::shared_ptr<rest::Authorizer> session, QStringList calendarIds,
                                     int windowDays, int maxResults);

// The events of several calendars as one list: by start (events without
// one first), then in the order of `calendars`.
QList<CalendarEvent> mergedEvents(QList<CalendarEvent> events, const QList<CalendarInfo> &calendars);

} // namespace calendar
