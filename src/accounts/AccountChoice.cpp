// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/AccountChoice.h"

#include <QSettings>

namespace {

QSet<QString> listedIDs(const GoogleAuthService &registry)
{
    QSet<QString> ids;
    for (const Account &account : registry.accounts())
        ids.insert(account.id);
    return ids;
}

} // namespace

AccountChoice::AccountChoice(GoogleAuthService &registry, QString keyPrefix, QStringList fallback)
    : QObject(&registry), m_registry(registry), m_keyPrefix(std::move(keyPrefix)),
      m_fallback(std::move(fallback)), m_listed(listedIDs(registry))
{
    connect(&registry, &GoogleAuthService::accountsChanged, this, &AccountChoice::forgetSignedOut);
}

QStringList AccountChoice::ids(const QString &accountID) const
{
    const QStringList stored = m_registry.settingsStore().value(m_keyPrefix + accountID).toStringList();
    return stored.isEmpty() ? m_fallback : stored;
}

bool AccountChoice::isChosen(const QString &accountID) const
{
    return m_registry.settingsStore().contains(m_keyPrefix + accountID);
}

void AccountChoice::setIds(const QString &accountID, const QStringList &ids)
{
    if (ids == this->ids(accountID))
        return;
    QSettings &store = m_registry.settingsStore();
    if (ids.isEmpty())
        store.remove(m_keyPrefix + accountID);
    else
        store.setValue(m_keyPrefix + accountID, ids);
    store.sync();
    emit idsChanged(accountID);
}

void AccountChoice::forgetSignedOut()
{
    const QSet<QString> listed = listedIDs(m_registry);
    QSettings &store = m_registry.settingsStore();
    for (const QString &id : std::as_const(m_listed))
        if (!listed.contains(id))
            store.remove(m_keyPrefix + id);
    if (!(m_listed - listed).isEmpty())
        store.sync();
    m_listed = listed;
}
