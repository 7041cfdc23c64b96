// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"
#include "calendar/CalendarEvent.h"
#include "core/RecordListModel.h"

#include <QDate>

// One event as the calendar tab lists it: with the day whose section it is in.
struct CalendarEventRow
{
    CalendarEvent event;
    QDate day;
    QString colour;          // its calendar's, "#rrggbb"; empty when unknown
    QList<Account> accounts; // over all accounts, every account that has it

    friend bool operator==(const CalendarEventRow &, const CalendarEventRow &) = default;
};

// The calendar tab's rows: the events day by day, each carrying its day
// ("yyyy-MM-dd") as the section the list groups it under.
class CalendarEventList : public RecordListModel<CalendarEventRow>
{
public:
    enum Role {
        EventRole = Qt::UserRole + 1,
        EventIdRole,
        TitleRole,
        StartRole,
        HasStartRole,
        TimeLabelRole,
        LocationRole,
        AttendeeCountRole,
        DayRole,
        ColourRole,
        AccountsRole,
    };

    CalendarEventList();

protected:
    QVariant roleData(const CalendarEventRow &row, int role) const override;
    QString keyOf(const CalendarEventRow &row) const override { return row.event.id; }
};
