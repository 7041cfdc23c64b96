// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MailLabelChoice.h"

#include "accounts/GoogleAuthService.h"
#include "mail/GmailService.h"

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

MailLabelChoice &MailLabelChoice::of(GoogleAuthService &registry)
{
    if (auto *choice = registry.findChild<MailLabelChoice *>(QString(), Qt::FindDirectChildrenOnly))
        return *choice;
    return *new MailLabelChoice(registry);
}

MailLabelChoice::MailLabelChoice(GoogleAuthService &registry)
    : QObject(&registry), m_registry(registry), m_listed(listedIDs(registry))
{
    connect(&registry, &GoogleAuthService::accountsChanged, this, &MailLabelChoice::forgetSignedOut);
}

QStringList MailLabelChoice::labelIds(const QString &accountID) const
{
    const QStringList stored = m_registry.settingsStore().value(KeyPrefix + accountID).toStringList();
    return stored.isEmpty() ? QStringList{GmailService::InboxLabel} : stored;
}

void MailLabelChoice::setLabelIds(const QString &accountID, const QStringList &labelIds)
{
    if (labelIds == this->labelIds(accountID))
        return;
    QSettings &store = m_registry.settingsStore();
    if (labelIds.isEmpty())
        store.remove(KeyPrefix + accountID);
    else
        store.setValue(KeyPrefix + accountID, labelIds);
    store.sync();
    emit labelIdsChanged(accountID);
}

void MailLabelChoice::forgetSignedOut()
{
    const QSet<QString> listed = listedIDs(m_registry);
    QSettings &store = m_registry.settingsStore();
    for (const QString &id : std::as_const(m_listed))
        if (!listed.contains(id))
            store.remove(KeyPrefix + id);
    if (!(m_listed - listed).isEmpty())
        store.sync();
    m_listed = listed;
}
