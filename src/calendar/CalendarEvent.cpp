// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarEvent.h"

#include <QCoreApplication>
#include <QHash>

QString CalendarEvent::timeLabel() const
{
    if (!start)
        return {};
    if (isAllDay)
        return QCoreApplication::translate("CalendarEvent", "All day");
    return shortTimeLabel(*start);
}

size_t qHash(const CalendarEvent &e, size_t seed)
{
    // Equal events hash alike; the lists are left to equality.
    return qHashMulti(seed, e.id, e.calendarId, e.title, qHashTimestamp(e.start), qHashTimestamp(e.end),
                      e.isAllDay, e.location.value_or(QString()), e.location.has_value(), e.attendeeCount,
                      e.htmlLink.value_or(QString()), e.htmlLink.has_value(), e.meetingLink, e.declined);
}
