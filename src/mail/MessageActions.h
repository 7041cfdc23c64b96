// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"

#include <QObject>

#include <qcoro/qcorotask.h>

class GoogleAuthService;

// Changes to a message asked for outside the Mail tab (from a notice), made
// at Gmail through the message's own account. A Mail tab showing that
// account follows each change. One per registry, owned by it. Main thread only.
class MessageActions : public QObject
{
    Q_OBJECT

public:
    static MessageActions &of(GoogleAuthService &registry);

    // Each throws Error: no session any more, or Gmail's refusal.
    QCoro::Task<void> markRead(Account account, QString messageID);
    QCoro::Task<void> archive(Account account, QString messageID);

signals:
    void changed(const QString &accountID);

private:
    explicit MessageActions(GoogleAuthService &registry);
    QCoro::Task<void> removeLabel(Account account, QString messageID, QString labelID);

    GoogleAuthService &m_registry;
};
