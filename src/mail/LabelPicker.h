// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/ChoicePicker.h"
#include "mail/MailLabelChoice.h"

// The "Labels…" choice of one account: Gmail's label list narrowed to what
// the Mail tab can show.
class LabelPicker : public ChoicePicker
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit LabelPicker(QObject *parent = nullptr) : ChoicePicker(&choiceOfKind<MailLabelChoice>, parent) {}
};
