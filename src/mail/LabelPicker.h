// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/ChoicePicker.h"

// The "Labels…" choice of one account: Gmail's label list narrowed to what
// the Mail tab can show.
class LabelPicker : public ChoicePicker
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit LabelPicker(QObject *parent = nullptr);

protected:
    QCoro::Task<QList<ChoiceEntry>> list(std::shared_ptr<rest::Authorizer> session) override;
    AccountChoice &choiceOf(GoogleAuthService &registry) const override;
};
