// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"

#include <QHash>
#include <QPointer>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

class GoogleAuthService;

namespace oauth {
class AuthSession;
}

// The account a tab's list was loaded for, or the accounts when it shows all
// of them. Its rows, and every action started on them, belong to the account
// they were listed for, whichever account is active by the time the action runs.
class ListAccount
{
public:
    // Absent while every account is listed.
    const std::optional<Account> &account() const { return m_account; }
    bool listsAll() const { return m_all; }
    // The accounts listed: all of them, the one, or none.
    const QList<Account> &accounts() const { return m_accounts; }
    bool lists(const QString &accountID) const;
    // Changes whenever another account (or none) is bound; a task that saw
    // another epoch when it started belongs to rows that are gone.
    quint64 epoch() const { return m_epoch; }

    // Binds the account a new load is for. True when it is another account
    // than before, so the rows of the old one must go.
    bool bind(const std::optional<Account> &account);
    // Binds every account at once; true when the accounts (or the mode) changed.
    bool bindAll(const QList<Account> &accounts);
    // The accounts' ids, in their order.
    static QStringList idsOf(const QList<Account> &accounts);

    // Remembers that these rows were listed for the bound account, so an
    // action on one of them still finds its account after a switch.
    void noteRows(const QStringList &rowIDs);
    void noteRows(const QStringList &rowIDs, const Account &account);
    // The account a row was last listed for; absent for a row never listed.
    std::optional<Account> accountOfRow(const QString &rowID) const;

private:
    bool rebind(const QList<Account> &accounts, bool all);

    std::optional<Account> m_account;
    QList<Account> m_accounts;
    bool m_all = false;
    QHash<QString, Account> m_rowAccounts;
    quint64 m_epoch = 0;
};

// Whether the account is still listed in the registry (not signed out).
bool isSignedIn(const GoogleAuthService *auth, const Account &account);

// The account's session; throws AuthError::noSession's Error when the account
// was signed out meanwhile (or the registry is gone), even if its keychain
// item has not been deleted yet.
QCoro::Task<std::shared_ptr<oauth::AuthSession>> signedInSession(QPointer<GoogleAuthService> auth,
                                                                 Account account);
// Throws AuthError::noSession's Error unless the account is still signed in.
void requireSignedIn(const GoogleAuthService *auth, const Account &account);
