// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/GoogleAuthService.h"

#include "accounts/SessionCache.h"
#include "support/ListCache.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

namespace {

std::optional<QList<Account>> decodeAccounts(const QByteArray &data)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<Account> accounts;
    for (const QJsonValue &value : document.array()) {
        const auto account = Account::fromJson(value);
        if (!account)
            return std::nullopt;
        accounts.append(*account);
    }
    return accounts;
}

QByteArray encodeAccounts(const QList<Account> &accounts)
{
    QJsonArray array;
    for (const Account &account : accounts)
        array.append(account.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

GoogleAuthService::GoogleAuthService(QSettings *store, QObject *parent)
    : QObject(parent), m_store(store), m_sessions(new SessionCache(this))
{
    if (!m_store) {
        m_ownedStore = std::make_unique<QSettings>(QStringLiteral("tarnlight"), QStringLiteral("tarnlight"));
        m_store = m_ownedStore.get();
    }
    loadIndex();
}

GoogleAuthService::~GoogleAuthService() = default;

std::optional<Account> GoogleAuthService::activeAccount() const
{
    if (!m_activeAccountID)
        return std::nullopt;
    for (const Account &account : m_accounts)
        if (account.id == *m_activeAccountID)
            return account;
    return std::nullopt;
}

void GoogleAuthService::loadIndex()
{
    // Loading never writes back: a corrupt list stays until the next change.
    const QVariant stored = m_store->value(accountsKey);
    if (stored.isValid())
        m_accounts = decodeAccounts(stored.toByteArray()).value_or(QList<Account>());
    const QVariant active = m_store->value(activeKey);
    if (active.isValid() && active.canConvert<QString>())
        m_activeAccountID = active.toString();
    else if (!m_accounts.isEmpty())
        m_activeAccountID = m_accounts.first().id;
    m_allAccounts = m_store->value(allAccountsKey).toBool();
}

void GoogleAuthService::persistIndex()
{
    m_store->setValue(accountsKey, encodeAccounts(m_accounts));
    if (m_activeAccountID)
        m_store->setValue(activeKey, *m_activeAccountID);
    else
        m_store->remove(activeKey);
    if (m_allAccounts)
        m_store->setValue(allAccountsKey, true);
    else
        m_store->remove(allAccountsKey);
    m_store->sync();
}

void GoogleAuthService::setAccounts(const QList<Account> &accounts, bool forceNotify)
{
    if (accounts == m_accounts && !forceNotify)
        return;
    const auto before = activeAccount();
    const bool allBefore = showsAllAccounts();
    m_accounts = accounts;
    emit accountsChanged();
    if (activeAccount() != before)
        emit activeAccountChanged();
    if (showsAllAccounts() != allBefore)
        emit showsAllAccountsChanged();
}

void GoogleAuthService::setActiveAccountID(const std::optional<QString> &id)
{
    if (id == m_activeAccountID)
        return;
    const auto before = activeAccount();
    m_activeAccountID = id;
    emit activeAccountIDChanged();
    if (activeAccount() != before)
        emit activeAccountChanged();
}

void GoogleAuthService::setAllAccounts(bool all)
{
    const bool before = showsAllAccounts();
    m_allAccounts = all;
    if (showsAllAccounts() != before)
        emit showsAllAccountsChanged();
}

QList<Account> GoogleAuthService::shownAccounts() const
{
    if (showsAllAccounts())
        return m_accounts;
    const auto active = activeAccount();
    return active ? QList<Account>{*active} : QList<Account>();
}

void GoogleAuthService::showAllAccounts()
{
    if (m_accounts.size() < 2)
        return;
    setAllAccounts(true);
    persistIndex();
}

void GoogleAuthService::setActive(const Account &account)
{
    setActiveByID(account.id);
}

void GoogleAuthService::setActiveByID(const QString &accountID)
{
    const bool listed = std::any_of(m_accounts.cbegin(), m_accounts.cend(),
                                    [&](const Account &a) { return a.id == accountID; });
    if (!listed)
        return;
    setActiveAccountID(accountID);
    setAllAccounts(false);
    persistIndex();
}

void GoogleAuthService::upsert(const Account &account, bool makeActive)
{
    QList<Account> updated = m_accounts;
    auto it = std::find_if(updated.begin(), updated.end(),
                           [&](const Account &a) { return a.id == account.id; });
    if (it != updated.end())
        *it = account;
    else
        updated.append(account);
    setAccounts(updated, true); // an in-place change always notifies
    if (makeActive || !m_activeAccountID)
        setActiveAccountID(account.id);
    if (makeActive)
        setAllAccounts(false);
    persistIndex();
}

void GoogleAuthService::signOut(const Account &account)
{
    // A copy: the caller's reference may point into the list replaced below.
    const Account leaving = account;
    removeSession(leaving);
    QList<Account> remaining = m_accounts;
    remaining.removeIf([&](const Account &a) { return a.id == leaving.id; });
    setAccounts(remaining, true);
    support::listcache::removeAccount(leaving.id);
    if (m_activeAccountID == leaving.id)
        setActiveAccountID(m_accounts.isEmpty() ? std::nullopt
                                                : std::optional<QString>(m_accounts.first().id));
    // Down to one account, that one is shown alone.
    if (m_accounts.size() < 2)
        setAllAccounts(false);
    persistIndex();
}

QVariantList GoogleAuthService::accountsForViews() const
{
    QVariantList list;
    for (const Account &account : m_accounts)
        list.append(QVariant::fromValue(account));
    return list;
}

QVariant GoogleAuthService::activeAccountForViews() const
{
    const auto account = activeAccount();
    return account ? QVariant::fromValue(*account) : QVariant();
}
