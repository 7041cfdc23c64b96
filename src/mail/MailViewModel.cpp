// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MailViewModel.h"

#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "mail/GmailLabels.h"
#include "mail/GmailLink.h"
#include "mail/GmailService.h"
#include "mail/MailLabelChoice.h"
#include "mail/MessageActions.h"
#include "mail/MessageDetails.h"
#include "oauth/AuthSession.h"
#include "support/UrlOpener.h"

namespace {

// A message read for the model as its account, with the session that read it.
struct ModelInput
{
    std::shared_ptr<rest::Authorizer> session;
    QString text; // the readable body, or the snippet when the body has no text
};

QCoro::Task<ModelInput> readForModel(QPointer<GoogleAuthService> registry, Account account,
                                     EmailMessage message)
{
    std::shared_ptr<rest::Authorizer> session = co_await signedInSession(registry, account);
    const QString text = co_await GmailService::bodyText(session, message.id);
    co_return ModelInput{session, text.isEmpty() ? message.snippet : text};
}

} // namespace

MailViewModel::MailViewModel(QObject *parent) : AccountBoundModel(parent, Reach::AllAccounts) {}

void MailViewModel::onAttached()
{
    // A new choice of labels, or a message changed from a notice.
    connect(&MailLabelChoice::of(*auth()), &AccountChoice::idsChanged, this, &MailViewModel::reloadIfListing);
    connect(&MessageActions::of(*auth()), &MessageActions::changed, this, &MailViewModel::reloadIfListing);
}

std::optional<Account> MailViewModel::accountOf(const EmailMessage &message) const
{
    if (auto listedFor = listBinding().accountOfRow(message.id))
        return listedFor;
    // A message never listed here: the list's account, or before the first
    // load the active one.
    return hasLoaded() ? listAccount() : activeAccount();
}

QVariantList MailViewModel::dotsOf(const QString &messageID) const
{
    if (!listBinding().listsAll())
        return {};
    const auto account = listBinding().accountOfRow(messageID);
    return account ? QVariantList{QVariant::fromValue(*account)} : QVariantList();
}

void MailViewModel::clearRows()
{
    m_parts.clear();
    setMessages({});
    setExpandedID(std::nullopt);
}

QCoro::Task<AccountBoundModel::Publish> MailViewModel::fetch(std::shared_ptr<rest::Authorizer> session,
                                                             Account account)
{
    // The list account's labels: the account is bound by now. The details
    // are the account's, shared with the unread check.
    const auto details = MailDetailCache::of(*auth()).forAccount(account.id);
    const QStringList labels = MailLabelChoice::of(*auth()).labelIds(account.id);
    const auto listed = co_await gmail::unreadInAny(session, labels, MaxResults, details);
    co_return [this, listed, account] {
        noteListed(listed, account);
        if (!listBinding().listsAll()) {
            setMessages(listed);
            return;
        }
        m_parts.insert(account.id, listed);
        setMessages(mergedParts());
    };
}

QList<EmailMessage> MailViewModel::mergedParts() const
{
    QList<QList<EmailMessage>> parts;
    for (const Account &account : listBinding().accounts())
        parts.append(m_parts.value(account.id));
    return mergedNewestFirst(parts, MaxResults);
}

void MailViewModel::changeInParts(const QString &messageID, const std::function<bool(EmailMessage &)> &change)
{
    for (auto &part : m_parts) {
        for (qsizetype i = part.size() - 1; i >= 0; --i) {
            if (part[i].id == messageID && !change(part[i]))
                part.removeAt(i);
        }
    }
}

void MailViewModel::toggle(const EmailMessage &message)
{
    if (m_expandedID == message.id) {
        setExpandedID(std::nullopt);
        return;
    }
    setExpandedID(message.id);
    // At most one summary per message for the life of the model, whatever
    // became of the first attempt.
    if (m_summaries.contains(message.id) || m_summariesStarting.contains(message.id))
        return;
    m_summariesStarting.insert(message.id);
    summarize(message);
}

int MailViewModel::expandMessage(const QString &id)
{
    const auto &rows = messages();
    const auto found = std::find_if(rows.cbegin(), rows.cend(), [&](const auto &m) { return m.id == id; });
    if (found == rows.cend())
        return -1;
    if (m_expandedID != id)
        toggle(*found);
    return int(found - rows.cbegin());
}

QCoro::Task<void> MailViewModel::summarize(EmailMessage message)
{
    QPointer<MailViewModel> self(this);
    const auto account = accountOf(message);
    const AIService ai = m_ai;
    const auto availability = co_await ai.availability();
    if (!self)
        co_return;
    m_summariesStarting.remove(message.id);
    if (!availability.isAvailable()) {
        setSummary(message.id, SummaryState::unavailable(availability.message()));
        co_return;
    }
    if (!account)
        co_return;
    // A model's first answer after a start includes loading it, which takes a while.
    setSummary(message.id,
               SummaryState::loading(AIService::hasAnswered() ? QString() : tr("Loading the model…")));
    try {
        const ModelInput input = co_await readForModel(auth(), *account, message);
        if (!self)
            co_return;
        const EmailSummary summary = co_await ai.summarize(message.subject, message.from, input.text);
        if (self)
            setSummary(message.id, SummaryState::ready(summary));
    } catch (const Error &error) {
        if (self)
            setSummary(message.id, SummaryState::failed(error.description()));
    }
}

QCoro::Task<void> MailViewModel::draftReply(EmailMessage message)
{
    QPointer<MailViewModel> self(this);
    QPointer<GoogleAuthService> registry = auth();
    // The draft goes to the account the message was listed for, even when
    // another one is active by the time it is saved.
    const auto account = accountOf(message);
    const AIService ai = m_ai;
    const auto availability = co_await ai.availability();
    if (!self)
        co_return;
    if (!availability.isAvailable()) {
        setReplyState(message.id, ReplyState::failed(availability.message()));
        co_return;
    }
    if (!account)
        co_return;
    setReplyState(message.id, ReplyState::drafting());
    try {
        const ModelInput input = co_await readForModel(registry, *account, message);
        if (!self)
            co_return;
        const QString reply = co_await ai.replyText(message.subject, message.from, input.text);
        if (!self)
            co_return;
        // Signed out while the model wrote: nothing is saved.
        requireSignedIn(registry, *account);
        co_await GmailService::createReplyDraft(input.session, message, reply);
        if (!self)
            co_return;
    } catch (const Error &error) {
        if (self)
            setReplyState(message.id, ReplyState::failed(error.description()));
        co_return;
    }
    setReplyState(message.id, ReplyState::done());
    openThread(*account, message);
}

void MailViewModel::openInGmail(const EmailMessage &message)
{
    if (!auth())
        return;
    if (const auto account = accountOf(message)) {
        openThread(*account, message);
        return;
    }
    const auto &activeID = auth()->activeAccountID();
    for (const Account &account : auth()->accounts()) {
        if (activeID && account.id == *activeID)
            openThread(account, message);
    }
}

void MailViewModel::openThread(const Account &account, const EmailMessage &message)
{
    if (!isSignedIn(auth(), account))
        return;
    const QUrl link = gmail::threadWebLink(account.email, message.threadId);
    if (link.isValid())
        support::openUrl(link);
}

QCoro::Task<bool> MailViewModel::removeLabel(EmailMessage message, QString labelID)
{
    const auto account = accountOf(message);
    if (!account)
        co_return false;
    QPointer<MailViewModel> self(this);
    const quint64 epoch = listBinding().epoch();
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await signedInSession(auth(), *account);
        co_await GmailService::modifyLabels(session, message.id, QStringList(labelID));
    } catch (const Error &) {
        co_return false;
    }
    // Done, and the rows shown are still those of the message's account.
    co_return self &&epoch == listBinding().epoch();
}

QCoro::Task<void> MailViewModel::markRead(EmailMessage message)
{
    if (!co_await removeLabel(message, GmailService::UnreadLabel))
        co_return;
    // The message stays listed, shown as read, until the next refresh.
    changeInParts(message.id, [](EmailMessage &listed) {
        listed.isUnread = false;
        return true;
    });
    const int row = m_list.rowOfKey(message.id);
    if (row < 0)
        co_return;
    EmailMessage read = m_list.rows().at(row);
    read.isUnread = false;
    m_list.replace(row, read);
    emit messagesChanged();
}

QCoro::Task<void> MailViewModel::archive(EmailMessage message)
{
    if (!co_await removeLabel(message, GmailService::InboxLabel))
        co_return;
    changeInParts(message.id, [](EmailMessage &) { return false; });
    bool removed = false;
    for (int row = m_list.rowOfKey(message.id); row >= 0; row = m_list.rowOfKey(message.id)) {
        m_list.removeAt(row);
        removed = true;
    }
    if (removed)
        emit messagesChanged();
}

void MailViewModel::startDraftReply(const EmailMessage &message)
{
    draftReply(message);
}
void MailViewModel::startMarkRead(const EmailMessage &message)
{
    markRead(message);
}
void MailViewModel::startArchive(const EmailMessage &message)
{
    archive(message);
}

void MailViewModel::setMessages(const QList<EmailMessage> &messages)
{
    if (m_list.assign(messages))
        emit messagesChanged();
}

void MailViewModel::setExpandedID(const std::optional<QString> &id)
{
    if (m_expandedID == id)
        return;
    const auto previous = std::exchange(m_expandedID, id);
    for (const auto &changed : {previous, id}) {
        if (changed)
            m_list.keyChanged(*changed, {MailMessageList::IsExpandedRole});
    }
    emit expandedIDChanged();
}

void MailViewModel::setSummary(const QString &id, const SummaryState &state)
{
    m_summaries.insert(id, state);
    m_list.keyChanged(id, MailMessageList::SummaryRoles);
    emit summariesChanged();
}

void MailViewModel::setReplyState(const QString &id, const ReplyState &state)
{
    m_replyStates.insert(id, state);
    m_list.keyChanged(id, MailMessageList::ReplyRoles);
    emit replyStatesChanged();
}
