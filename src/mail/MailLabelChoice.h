// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/AccountChoice.h"

// The Gmail labels whose unread mail each account's Mail tab lists; INBOX
// until the user picks others. Kept under "tarnlight.labels.<account id>".
class MailLabelChoice : public AccountChoice
{
    Q_OBJECT

public:
    static inline const QString KeyPrefix = QStringLiteral("tarnlight.labels.");

    // The registry's choice; the app asks for it at start so that every
    // sign-out is followed.
    static MailLabelChoice &of(GoogleAuthService &registry) { return ofKind<MailLabelChoice>(registry); }

    QStringList labelIds(const QString &accountID) const { return ids(accountID); }
    void setLabelIds(const QString &accountID, const QStringList &labelIds) { setIds(accountID, labelIds); }

    // Gmail's labels the Mail tab can show, system ones by their web names.
    QCoro::Task<QList<ChoiceEntry>> entries(std::shared_ptr<rest::Authorizer> session) const override;

private:
    friend class AccountChoice;
    explicit MailLabelChoice(GoogleAuthService &registry);
};
