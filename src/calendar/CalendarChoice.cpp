// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarChoice.h"

#include "calendar/CalendarService.h"

QCoro::Task<QList<ChoiceEntry>> CalendarChoice::entries(std::shared_ptr<rest::Authorizer> session) const
{
    QList<ChoiceEntry> entries;
    for (const CalendarInfo &calendar : co_await CalendarService::calendars(session))
        entries.append({calendar.id, calendar.name, calendar.colour, calendar.primary ? Primary : QString()});
    co_return entries;
}
