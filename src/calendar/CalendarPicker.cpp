// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarPicker.h"

#include "calendar/CalendarChoice.h"
#include "calendar/CalendarService.h"

CalendarPicker::CalendarPicker(QObject *parent) : ChoicePicker(parent) {}

QCoro::Task<QList<ChoiceEntry>> CalendarPicker::list(std::shared_ptr<rest::Authorizer> session)
{
    QList<ChoiceEntry> entries;
    for (const CalendarInfo &calendar : co_await CalendarService::calendars(session))
        entries.append({calendar.id, calendar.name, calendar.colour,
                        calendar.primary ? CalendarChoice::Primary : QString()});
    co_return entries;
}

AccountChoice &CalendarPicker::choiceOf(GoogleAuthService &registry) const
{
    return CalendarChoice::of(registry);
}
