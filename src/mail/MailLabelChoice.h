// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>

class GoogleAuthService;

// The Gmail labels whose unread mail each account's Mail tab lists; INBOX
// until the user picks others. Kept in the registry's settings store under
// "tarnlight.labels.<account id>" and forgotten when the account signs out.
// One per registry, owned by it. Main thread only.
class MailLabelChoice : public QObject
{
    Q_OBJECT

public:
    static inline const QString KeyPrefix = QStringLiteral("tarnlight.labels.");

    // The registry's choice, made on first use; the app asks for it at start
    // so that every sign-out is followed.
    static MailLabelChoice &of(GoogleAuthService &registry);

    QStringList labelIds(const QString &accountID) const;
    // An empty choice lists the inbox again, as before any choice.
    void setLabelIds(const QString &accountID, const QStringList &labelIds);

signals:
    void labelIdsChanged(const QString &accountID);

private:
    explicit MailLabelChoice(GoogleAuthService &registry);
    void forgetSignedOut();

    GoogleAuthService &m_registry;
    QSet<QString> m_listed;
};
