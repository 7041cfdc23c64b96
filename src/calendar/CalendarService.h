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

// A calendar's next events. Stateless: each call builds its own Calendar
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

    // One event resource as a record: all-day dates stand for 12:00 UTC, a
    // missing summary reads "(no title)", every attendee counts. Reminders
    // that use the calendar's default take `defaultMinutes`.
    static CalendarEvent eventFromResource(const rest::RestObject &item, const QString &calendarId = {},
                                           const QList<int> &defaultMinutes = {});

    // The minutes of the popup reminders in a "reminders" overrides or
    // "defaultReminders" list, ascending and without repeats.
    static QList<int> popupMinutes(const QJsonArray &reminders);
};
