// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MessageDetails.h"

#include "accounts/GoogleAuthService.h"

std::optional<ListedDetail> MessageDetails::find(const QString &id) const
{
    const auto found = m_details.constFind(id);
    if (found == m_details.cend())
        return std::nullopt;
    return *found;
}

void MessageDetails::noteListed(Lister lister, const QStringList &ids)
{
    m_listed[size_t(lister)] = QSet<QString>(ids.cbegin(), ids.cend());
    m_details.removeIf([this](const auto &entry) {
        for (const QSet<QString> &listed : std::as_const(m_listed))
            if (listed.contains(entry.key()))
                return false;
        return true;
    });
}

MailDetailCache &MailDetailCache::of(GoogleAuthService &registry)
{
    if (auto *cache = registry.findChild<MailDetailCache *>(QString(), Qt::FindDirectChildrenOnly))
        return *cache;
    return *new MailDetailCache(registry);
}

MailDetailCache::MailDetailCache(GoogleAuthService &registry) : QObject(&registry), m_registry(registry)
{
    connect(&registry, &GoogleAuthService::accountsChanged, this, &MailDetailCache::forgetSignedOut);
}

std::shared_ptr<MessageDetails> MailDetailCache::forAccount(const QString &accountID)
{
    std::shared_ptr<MessageDetails> &details = m_accounts[accountID];
    if (!details)
        details = std::make_shared<MessageDetails>();
    return details;
}

void MailDetailCache::forgetSignedOut()
{
    QSet<QString> listed;
    for (const Account &account : m_registry.accounts())
        listed.insert(account.id);
    m_accounts.removeIf([&](const auto &entry) { return !listed.contains(entry.key()); });
}
