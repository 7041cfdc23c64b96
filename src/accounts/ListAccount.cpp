// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/ListAccount.h"

#include "accounts/GoogleAuthService.h"
#include "oauth/AuthSession.h"
#include "accounts/AuthError.h"

QStringList ListAccount::idsOf(const QList<Account> &accounts)
{
    QStringList ids;
    for (const Account &account : accounts)
        ids.append(account.id);
    return ids;
}

bool ListAccount::bind(const std::optional<Account> &account)
{
    return rebind(account ? QList<Account>{*account} : QList<Account>(), false);
}

bool ListAccount::bindAll(const QList<Account> &accounts)
{
    return rebind(accounts, true);
}

bool ListAccount::rebind(const QList<Account> &accounts, bool all)
{
    const bool other = all != m_all || idsOf(accounts) != idsOf(m_accounts);
    m_accounts = accounts;
    m_all = all;
    m_account = all || accounts.isEmpty() ? std::nullopt : std::optional<Account>(accounts.first());
    if (other)
        ++m_epoch;
    return other;
}

bool ListAccount::lists(const QString &accountID) const
{
    return idsOf(m_accounts).contains(accountID);
}

void ListAccount::noteRows(const QStringList &rowIDs)
{
    if (m_account)
        noteRows(rowIDs, *m_account);
}

void ListAccount::noteRows(const QStringList &rowIDs, const Account &account)
{
    for (const QString &id : rowIDs)
        m_rowAccounts.insert(id, account);
}

std::optional<Account> ListAccount::accountOfRow(const QString &rowID) const
{
    const auto it = m_rowAccounts.constFind(rowID);
    return it == m_rowAccounts.cend() ? std::nullopt : std::optional<Account>(*it);
}

bool isSignedIn(const GoogleAuthService *auth, const Account &account)
{
    if (!auth)
        return false;
    const auto &accounts = auth->accounts();
    return std::any_of(accounts.cbegin(), accounts.cend(),
                       [&](const Account &listed) { return listed.id == account.id; });
}

void requireSignedIn(const GoogleAuthService *auth, const Account &account)
{
    if (!isSignedIn(auth, account))
        throw toError(AuthError::noSession);
}

QCoro::Task<std::shared_ptr<oauth::AuthSession>> signedInSession(QPointer<GoogleAuthService> auth,
                                                                 Account account)
{
    requireSignedIn(auth, account);
    auto session = co_await auth->authSession(account);
    // Signed out while the keychain was read.
    requireSignedIn(auth, account);
    co_return session;
}
