// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/AIService.h"
#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "accounts/Account.h"
#include "mail/EmailMessage.h"
#include "core/LoadState.h"
#include "mail/MailMessageList.h"
#include "mail/MailRowStates.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

#include <optional>
#include <utility>

// Everything the mail tab shows and does: the listed messages, the expanded
// one, each opened message's summary, each drafted reply, and the actions
// mark read, archive, open in Gmail and draft a reply. Lives as long as its
// tab; operations still in flight when it goes away end without touching it.
// The list belongs to the account it was loaded for: a change of the active
// account reloads it for the new one, and actions on its rows keep using the
// account they were listed for.
class MailViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(LoadState state READ state NOTIFY stateChanged)
    // The messages as rows, each with its expansion, summary and reply state.
    Q_PROPERTY(RecordListModelBase *messages READ messageList CONSTANT)
    Q_PROPERTY(QString expandedID READ expandedIDOrEmpty NOTIFY expandedIDChanged)
    // The labels listed: unread mail carrying any of them.
    Q_PROPERTY(QStringList labelIds READ labelIds NOTIFY labelIdsChanged)

public:
    using SummaryState = MailSummaryState;
    using ReplyState = MailReplyState;

    static constexpr unsigned MaxResults = 25;

    explicit MailViewModel(QObject *parent = nullptr);
    ~MailViewModel() override;

    // Hands over the app's account registry (not owned); a model that has
    // one keeps it.
    Q_INVOKABLE void attach(GoogleAuthService *auth);
    GoogleAuthService *auth() const { return m_auth; }
    // The account the list was last loaded for (or is being loaded for).
    const std::optional<Account> &listAccount() const { return m_listAccount.account(); }

    const LoadState &state() const { return m_state; }
    const QList<EmailMessage> &messages() const { return m_list.rows(); }
    RecordListModelBase *messageList() { return &m_list; }
    const QHash<QString, SummaryState> &summaries() const { return m_summaries; }
    const QHash<QString, ReplyState> &replyStates() const { return m_replyStates; }
    const std::optional<QString> &expandedID() const { return m_expandedID; }
    QStringList labelIds() const;

    // Reloads the list of the active account; idle and empty without one.
    // A load overtaken by a later one publishes nothing.
    QCoro::Task<void> refresh();
    // Expands or collapses; the first expansion of a message starts its summary.
    Q_INVOKABLE void toggle(const EmailMessage &message);
    // Writes a reply with the on-device model, saves it as a draft in the
    // thread and opens the thread in the browser.
    QCoro::Task<void> draftReply(EmailMessage message);
    // Opens the message's thread in the Gmail web client.
    Q_INVOKABLE void openInGmail(const EmailMessage &message);
    // Failures of these two change nothing and show nothing.
    QCoro::Task<void> markRead(EmailMessage message);
    QCoro::Task<void> archive(EmailMessage message);

    // For the views: the same operations, started without waiting.
    Q_INVOKABLE void startRefresh();
    Q_INVOKABLE void startDraftReply(const EmailMessage &message);
    Q_INVOKABLE void startMarkRead(const EmailMessage &message);
    Q_INVOKABLE void startArchive(const EmailMessage &message);

signals:
    void stateChanged();
    void messagesChanged();
    void summariesChanged();
    void replyStatesChanged();
    void expandedIDChanged();
    void labelIdsChanged();

private:
    QCoro::Task<void> summarize(EmailMessage message);
    std::optional<Account> activeAccount() const;
    // The account an action on the message uses: the one it was listed for.
    std::optional<Account> accountOf(const EmailMessage &message) const;
    void onActiveAccountChanged();
    // Opens the thread in the web client as the account; nothing when it was
    // signed out.
    void openThread(const Account &account, const EmailMessage &message);
    // Binds the list to the account of a new load; the old account's rows
    // and what belongs to them go when it is another one.
    void bindListAccount(const std::optional<Account> &account);

    void setState(const LoadState &state);
    void setMessages(const QList<EmailMessage> &messages);
    void setExpandedID(const std::optional<QString> &id);
    void setSummary(const QString &id, const SummaryState &state);
    void setReplyState(const QString &id, const ReplyState &state);

    QString expandedIDOrEmpty() const { return m_expandedID.value_or(QString()); }

    LoadState m_state;
    QHash<QString, SummaryState> m_summaries;
    QHash<QString, ReplyState> m_replyStates;
    std::optional<QString> m_expandedID;
    AIService m_ai;
    QPointer<GoogleAuthService> m_auth;
    ListAccount m_listAccount;
    // Counts started loads; only the latest one publishes.
    quint64 m_loadGeneration = 0;
    // Messages whose summary was started but has no entry yet (the model's
    // availability is still being asked), so a quick second expansion does
    // not start another.
    QSet<QString> m_summariesStarting;
    // Reads the maps above; declared after them.
    MailMessageList m_list{*this};
};
