// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/Authorizer.h"
#include "calendar/CalendarEvent.h"

#include <qcoro/qcorotask.h>

#include <memory>

namespace rest {
class RestObject;
}

// One calendar on the user's list: the name they see (their own name for it
// first), its colour ("#rrggbb", empty when unknown) and whether it is their
// primary calendar.
struct CalendarInfo
{
    QString id, name, colour;
    bool primary = false;

    friend bool operator==(const CalendarInfo &, const CalendarInfo &) = default;
};

// The calendar of the list that `id` names ("primary" names the primary one);
// null when the list does not have it.
const CalendarInfo *listedCalendar(const QList<CalendarInfo> &calendars, const QString &id);

// The user's calendars and a calendar's next events. Stateless: each call builds its own Calendar
// service object, follows further pages only while fewer than the wanted
// events arrived (Google may answer short pages before the end) and throws
// the REST layer's Error unchanged.
class CalendarService
{
public:
    // The parts of an event the app reads, for the `fields` parameter.
    static const QString EventFields;

    // Events from now until the same wall-clock time `days` days ahead in the
    // user's time zone, single instances ordered by start, at most maxResults.
    static QCoro::Task<QList<CalendarEvent>> upcoming(std::shared_ptr<rest::Authorizer> authorizer, int days,
                                                      int maxResults,
                                                      QString calendarId = QStringLiteral("primary"));

    // A colour as "#rrggbb" in lower case; empty unless it reads as one.
    static QString rgbColour(const QString &colour);

    // Every calendar on the user's list, page after page, in its order.
    static QCoro::Task<QList<CalendarInfo>> calendars(std::shared_ptr<rest::Authorizer> authorizer);

    // One event resource as a record: all-day dates stand for 12:00 UTC, a
    // missing summary reads "(no title)", every attendee counts. Reminders
    // that use the calendar's default take `defaultMinutes`.
    static CalendarEvent eventFromResource(const rest::RestObject &item, const QString &calendarId = {},
                                           const QList<int> &defaultMinutes = {});

    // The minutes of the popup reminders in a "reminders" overrides or
    // "defaultReminders" list, ascending and without repeats.
    static QList<int> popupMinutes(const QJsonArray &reminders);
};
