// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/ChoicePicker.h"

// The "Calendars…" choice of one account: the calendars on the user's list,
// each with its colour. The primary calendar answers to "primary" too.
class CalendarPicker : public ChoicePicker
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit CalendarPicker(QObject *parent = nullptr);

protected:
    QCoro::Task<QList<ChoiceEntry>> list(std::shared_ptr<rest::Authorizer> session) override;
    AccountChoice &choiceOf(GoogleAuthService &registry) const override;
};
