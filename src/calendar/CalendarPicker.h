// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/ChoicePicker.h"
#include "calendar/CalendarChoice.h"

// The "Calendars…" choice of one account: the calendars on the user's list,
// each with its colour.
class CalendarPicker : public ChoicePicker
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit CalendarPicker(QObject *parent = nullptr) : ChoicePicker(&choiceOfKind<CalendarChoice>, parent)
    {}
};
