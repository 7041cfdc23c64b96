// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MailMessageList.h"

#include "mail/MailViewModel.h"

namespace {

QString summaryKindName(MailSummaryState::Kind kind)
{
    switch (kind) {
    case MailSummaryState::Loading: return QStringLiteral("loading");
    case MailSummaryState::Ready: return QStringLiteral("ready");
    case MailSummaryState::Failed: return QStringLiteral("failed");
    case MailSummaryState::Unavailable: return QStringLiteral("unavailable");
    }
    return {};
}

QString replyKindName(MailReplyState::Kind kind)
{
    switch (kind) {
    case MailReplyState::Drafting: return QStringLiteral("drafting");
    case MailReplyState::Done: return QStringLiteral("done");
    case MailReplyState::Failed: return QStringLiteral("failed");
    }
    return {};
}

} // namespace

// The role names follow the order of Role.
MailMessageList::MailMessageList(const MailViewModel &owner)
    : RecordListModel({"message", "messageId", "fromDisplay", "subject", "snippet", "relativeDate",
                       "isUnread", "isExpanded", "summaryKind", "summaryText", "actionItem",
                       "showsActionItem", "replyKind", "replyMessage", "accounts"}),
      m_owner(owner)
{}

QVariant MailMessageList::roleData(const EmailMessage &message, int role) const
{
    switch (role) {
    case MessageRole: return QVariant::fromValue(message);
    case MessageIdRole: return message.id;
    case FromDisplayRole: return message.fromDisplay();
    case SubjectRole: return message.subject;
    case SnippetRole: return message.snippet;
    case RelativeDateRole: return message.relativeDate();
    case IsUnreadRole: return message.isUnread;
    case IsExpandedRole: return m_owner.expandedID() == message.id;
    case AccountsRole: return m_owner.dotsOf(message.id);
    case ReplyKindRole:
    case ReplyMessageRole: return replyData(message.id, role);
    default: return summaryData(message.id, role);
    }
}

// Empty texts and no action item for a message whose summary was never asked for.
QVariant MailMessageList::summaryData(const QString &id, int role) const
{
    const auto found = m_owner.summaries().constFind(id);
    const bool has = found != m_owner.summaries().cend();
    switch (role) {
    case SummaryKindRole: return has ? summaryKindName(found->kind) : QString();
    case SummaryTextRole:
        if (!has)
            return QString();
        return found->kind == MailSummaryState::Ready ? found->summary.summary : found->message;
    case ActionItemRole: return has ? found->summary.actionItem : QString();
    case ShowsActionItemRole:
        return has && found->kind == MailSummaryState::Ready && found->summary.hasActionItem();
    }
    return {};
}

QVariant MailMessageList::replyData(const QString &id, int role) const
{
    const auto found = m_owner.replyStates().constFind(id);
    const bool has = found != m_owner.replyStates().cend();
    if (role == ReplyKindRole)
        return has ? replyKindName(found->kind) : QString();
    return has ? found->message : QString();
}
