// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/GoogleAuthService.h"

#include <QObject>
#include <QSet>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>

namespace rest {
class Authorizer;
}

// What the provider lists for an account to choose from.
struct ChoiceEntry
{
    QString id, name;
    QString colour; // "#rrggbb", empty when it has none
    QString alias;  // another id a saved choice may name it by ("primary")
};

// A list of ids each account chose (the labels its Mail tab lists, the
// calendars its agenda merges), kept in the registry's settings store under
// the key prefix followed by the account's id. Until the user picks, or after
// they untick everything, the fallback stands. Forgotten when the account
// signs out. One of each kind per registry, owned by it. Main thread only.
class AccountChoice : public QObject
{
    Q_OBJECT

public:
    QStringList ids(const QString &accountID) const;
    // An empty choice stands for the fallback again.
    void setIds(const QString &accountID, const QStringList &ids);
    // Whether the user has made a choice for the account.
    bool isChosen(const QString &accountID) const;
    // What the provider lists to choose from, through the account's session.
    // Runs on without this object: it may go with the registry meanwhile.
    virtual QCoro::Task<QList<ChoiceEntry>> entries(std::shared_ptr<rest::Authorizer> session) const = 0;

signals:
    void idsChanged(const QString &accountID);

protected:
    AccountChoice(GoogleAuthService &registry, QString keyPrefix, QStringList fallback);

    // The registry's choice of the kind, made on first use.
    template<class Choice>
    static Choice &ofKind(GoogleAuthService &registry)
    {
        if (auto *choice = registry.findChild<Choice *>(QString(), Qt::FindDirectChildrenOnly))
            return *choice;
        return *new Choice(registry);
    }

private:
    void forgetSignedOut();

    GoogleAuthService &m_registry;
    const QString m_keyPrefix;
    const QStringList m_fallback;
    QSet<QString> m_listed;
};
