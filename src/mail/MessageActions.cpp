// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MessageActions.h"

#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "oauth/AuthSession.h"
#include "mail/GmailService.h"

#include <QPointer>

MessageActions &MessageActions::of(GoogleAuthService &registry)
{
    if (auto *actions = registry.findChild<MessageActions *>(QString(), Qt::FindDirectChildrenOnly))
        return *actions;
    return *new MessageActions(registry);
}

MessageActions::MessageActions(GoogleAuthService &registry) : QObject(&registry), m_registry(registry) {}

QCoro::Task<void> MessageActions::markRead(Account account, QString messageID)
{
    co_await removeLabel(std::move(account), std::move(messageID), GmailService::UnreadLabel);
}

QCoro::Task<void> MessageActions::archive(Account account, QString messageID)
{
    co_await removeLabel(std::move(account), std::move(messageID), GmailService::InboxLabel);
}

QCoro::Task<void> MessageActions::removeLabel(Account account, QString messageID, QString labelID)
{
    QPointer<MessageActions> self(this);
    const auto session = co_await signedInSession(&m_registry, account);
    co_await GmailService::modifyLabels(session, messageID, QStringList(labelID));
    if (self)
        emit self->changed(account.id);
}
