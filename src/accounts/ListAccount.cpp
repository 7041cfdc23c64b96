// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/ListAccount.h"

#include "accounts/GoogleAuthService.h"
#include "oauth/AuthSession.h"
#include "accounts/AuthError.h"

bool ListAccount::bind(const std::optional<Account> &account)
{
    const auto idOf = [](const std::optional<Account> &a) { return a ? a->id : QString(); };
    const bool other = idOf(account) != idOf(m_account) || account.has_value() != m_account.has_value();
    m_account = account;
    if (other)
        ++m_epoch;
    return other;
}

void ListAccount::noteRows(const QStringList &rowIDs)
{
    if (!m_account)
        return;
    for (const QString &id : rowIDs)
        m_rowAccounts.insert(id, *m_account);
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
