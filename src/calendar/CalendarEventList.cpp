// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarEventList.h"

CalendarEventList::CalendarEventList()
    : RecordListModel({"event", "eventId", "title", "start", "hasStart", "timeLabel", "location",
                       "attendeeCount", "day", "calendarColour", "accounts"})
{}

QVariant CalendarEventList::roleData(const CalendarEventRow &row, int role) const
{
    const CalendarEvent &event = row.event;
    switch (role) {
    case EventRole: return QVariant::fromValue(event);
    case EventIdRole: return event.id;
    case TitleRole: return event.title;
    case StartRole: return event.startOrInvalid();
    case HasStartRole: return event.start.has_value() && event.start->isValid();
    case TimeLabelRole: return event.timeLabel();
    case LocationRole: return event.locationOrEmpty();
    case AttendeeCountRole: return event.attendeeCount;
    case DayRole: return row.day.toString(Qt::ISODate);
    case ColourRole: return row.colour;
    case AccountsRole: {
        QVariantList accounts;
        for (const Account &account : row.accounts)
            accounts.append(QVariant::fromValue(account));
        return accounts;
    }
    }
    return {};
}
