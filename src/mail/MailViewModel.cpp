// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MailViewModel.h"

#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "mail/GmailLabels.h"
#include "mail/GmailLink.h"
#include "mail/GmailService.h"
#include "oauth/AuthSession.h"
#include "support/UrlOpener.h"

namespace {

// The text the model works on: the message's readable body, or its snippet
// when the body has no text.
QCoro::Task<QString> textForModel(std::shared_ptr<rest::Authorizer> authorizer, EmailMessage message)
{
    const QString text = co_await GmailService::bodyText(authorizer, message.id);
    co_return text.isEmpty() ? message.snippet : text;
}

} // namespace

MailViewModel::MailViewModel(QObject *parent) : QObject(parent) {}

MailViewModel::~MailViewModel() = default;

void MailViewModel::attach(GoogleAuthService *auth)
{
    if (m_auth || !auth)
        return;
    m_auth = auth;
    connect(auth, &GoogleAuthService::activeAccountChanged, this, &MailViewModel::onActiveAccountChanged);
    connect(auth, &GoogleAuthService::labelIdsChanged, this, [this](const QString &accountID) {
        // A new choice of labels shows at once in a tab that has loaded.
        if (m_loadGeneration > 0 && listAccount() && listAccount()->id == accountID)
            refresh();
    });
    emit labelIdsChanged();
}

QStringList MailViewModel::labelIds() const
{
    const auto account = m_loadGeneration > 0 ? listAccount() : activeAccount();
    if (!m_auth || !account)
        return {GmailService::InboxLabel};
    return m_auth->labelIds(account->id);
}

std::optional<Account> MailViewModel::activeAccount() const
{
    return m_auth ? m_auth->activeAccount() : std::nullopt;
}

std::optional<Account> MailViewModel::accountOf(const EmailMessage &message) const
{
    if (auto listedFor = m_listAccount.accountOfRow(message.id))
        return listedFor;
    // A message never listed here: the list's account, or before the first
    // load the active one.
    return m_loadGeneration > 0 ? m_listAccount.account() : activeAccount();
}

void MailViewModel::onActiveAccountChanged()
{
    // Only a tab that has loaded reloads; a fresh one loads when first shown.
    const auto active = activeAccount();
    const QString activeID = active ? active->id : QString();
    const QString listID = listAccount() ? listAccount()->id : QString();
    if (m_loadGeneration > 0 && activeID != listID)
        refresh();
}

void MailViewModel::bindListAccount(const std::optional<Account> &account)
{
    // Summaries and reply states stay: they are keyed by message id and show
    // again only beside their own account's rows.
    if (!m_listAccount.bind(account))
        return;
    setMessages({});
    setExpandedID(std::nullopt);
}

QCoro::Task<void> MailViewModel::refresh()
{
    const quint64 generation = ++m_loadGeneration;
    const auto account = activeAccount();
    bindListAccount(account);
    if (!account) {
        setState(LoadState::idle());
        setMessages({});
        co_return;
    }
    QPointer<MailViewModel> self(this);
    const auto current = [&] { return self && generation == m_loadGeneration; };
    setState(LoadState::loading());
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await m_auth->authSession(*account);
        if (!current())
            co_return;
        const auto listed = co_await gmail::unreadInAny(session, m_auth->labelIds(account->id), MaxResults);
        if (!current())
            co_return;
        QStringList ids;
        for (const EmailMessage &message : listed)
            ids.append(message.id);
        m_listAccount.noteRows(ids);
        setMessages(listed);
        setState(LoadState::loaded());
    } catch (const Error &error) {
        // A failed reload keeps the earlier list under the error.
        if (current())
            setState(LoadState::error(error.description()));
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
        const std::shared_ptr<rest::Authorizer> session = co_await signedInSession(m_auth, *account);
        if (!self)
            co_return;
        const QString body = co_await textForModel(session, message);
        if (!self)
            co_return;
        const EmailSummary summary = co_await ai.summarize(message.subject, message.from, body);
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
    QPointer<GoogleAuthService> auth = m_auth;
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
        const std::shared_ptr<rest::Authorizer> session = co_await signedInSession(auth, *account);
        if (!self)
            co_return;
        const QString body = co_await textForModel(session, message);
        if (!self)
            co_return;
        const QString reply = co_await ai.replyText(message.subject, message.from, body);
        if (!self)
            co_return;
        // Signed out while the model wrote: nothing is saved.
        requireSignedIn(auth, *account);
        co_await GmailService::createReplyDraft(session, message, reply);
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
    if (!m_auth)
        return;
    if (const auto account = accountOf(message)) {
        openThread(*account, message);
        return;
    }
    const auto &activeID = m_auth->activeAccountID();
    for (const Account &account : m_auth->accounts()) {
        if (activeID && account.id == *activeID)
            openThread(account, message);
    }
}

void MailViewModel::openThread(const Account &account, const EmailMessage &message)
{
    if (!isSignedIn(m_auth, account))
        return;
    const QUrl link = gmail::threadWebLink(account.email, message.threadId);
    if (link.isValid())
        support::openUrl(link);
}

QCoro::Task<void> MailViewModel::markRead(EmailMessage message)
{
    const auto account = accountOf(message);
    if (!account)
        co_return;
    QPointer<MailViewModel> self(this);
    const quint64 epoch = m_listAccount.epoch();
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await signedInSession(m_auth, *account);
        co_await GmailService::modifyLabels(session, message.id, QStringList(GmailService::UnreadLabel));
    } catch (const Error &) {
        co_return;
    }
    if (!self || epoch != m_listAccount.epoch())
        co_return;
    // The message stays listed, shown as read, until the next refresh.
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
    const auto account = accountOf(message);
    if (!account)
        co_return;
    QPointer<MailViewModel> self(this);
    const quint64 epoch = m_listAccount.epoch();
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await signedInSession(m_auth, *account);
        co_await GmailService::modifyLabels(session, message.id, QStringList(GmailService::InboxLabel));
    } catch (const Error &) {
        co_return;
    }
    if (!self || epoch != m_listAccount.epoch())
        co_return;
    bool removed = false;
    for (int row = m_list.rowOfKey(message.id); row >= 0; row = m_list.rowOfKey(message.id)) {
        m_list.removeAt(row);
        removed = true;
    }
    if (removed)
        emit messagesChanged();
}

void MailViewModel::startRefresh()
{
    refresh();
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

void MailViewModel::setState(const LoadState &state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
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
