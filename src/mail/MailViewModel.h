// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/AIService.h"
#include "accounts/AccountBoundModel.h"
#include "accounts/Account.h"
#include "mail/EmailMessage.h"
#include "mail/MailMessageList.h"
#include "mail/MailRowStates.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>
#include <utility>

// Everything the mail tab shows and does: the listed messages, the expanded
// one, each opened message's summary, each drafted reply, and the actions
// mark read, archive, open in Gmail and draft a reply. Lives as long as its
// tab; operations still in flight when it goes away end without touching it.
// The list belongs to the account it was loaded for: a change of the active
// account reloads it for the new one, and actions on its rows keep using the
// account they were listed for.
class MailViewModel : public AccountBoundModel
{
    Q_OBJECT
    QML_ELEMENT
    // The messages as rows, each with its expansion, summary and reply state.
    Q_PROPERTY(RecordListModelBase *messages READ messageList CONSTANT)
    Q_PROPERTY(QString expandedID READ expandedIDOrEmpty NOTIFY expandedIDChanged)

public:
    using SummaryState = MailSummaryState;
    using ReplyState = MailReplyState;

    static constexpr unsigned MaxResults = 25;

    explicit MailViewModel(QObject *parent = nullptr);

    const QList<EmailMessage> &messages() const { return m_list.rows(); }
    RecordListModelBase *messageList() { return &m_list; }
    const QHash<QString, SummaryState> &summaries() const { return m_summaries; }
    const QHash<QString, ReplyState> &replyStates() const { return m_replyStates; }
    const std::optional<QString> &expandedID() const { return m_expandedID; }
    // The accounts whose dots a row shows: its own while every account is
    // shown, none otherwise.
    QVariantList dotsOf(const QString &messageID) const;

    // Expands or collapses; the first expansion of a message starts its summary.
    Q_INVOKABLE void toggle(const EmailMessage &message);
    // Expands the listed message with that id (others collapse); its row, or
    // -1 when it is not listed.
    Q_INVOKABLE int expandMessage(const QString &id);
    // Writes a reply with the on-device model, saves it as a draft in the
    // thread and opens the thread in the browser.
    QCoro::Task<void> draftReply(EmailMessage message);
    // Opens the message's thread in the Gmail web client.
    Q_INVOKABLE void openInGmail(const EmailMessage &message);
    // Failures of these two change nothing and show nothing.
    QCoro::Task<void> markRead(EmailMessage message);
    QCoro::Task<void> archive(EmailMessage message);

    // For the views: the same operations, started without waiting.
    Q_INVOKABLE void startDraftReply(const EmailMessage &message);
    Q_INVOKABLE void startMarkRead(const EmailMessage &message);
    Q_INVOKABLE void startArchive(const EmailMessage &message);

signals:
    void messagesChanged();
    void summariesChanged();
    void replyStatesChanged();
    void expandedIDChanged();

protected:
    // The unread messages of the account's chosen labels.
    QCoro::Task<Publish> fetch(std::shared_ptr<rest::Authorizer> session, Account account) override;
    // Summaries and reply states stay: they are keyed by message id and show
    // again only beside their own account's rows.
    void clearRows() override;
    void onAttached() override;
    QString cacheName() const override { return QStringLiteral("mail"); }
    QJsonArray cachedRows() const override;
    void showCachedRows(const QJsonArray &rows) override;

private:
    QCoro::Task<void> summarize(EmailMessage message);
    // Takes the label off the message as its account; true when that worked
    // and the rows shown are still that account's.
    QCoro::Task<bool> removeLabel(EmailMessage message, QString labelID);
    // The account an action on the message uses: the one it was listed for.
    std::optional<Account> accountOf(const EmailMessage &message) const;
    // Opens the thread in the web client as the account; nothing when it was
    // signed out.
    void openThread(const Account &account, const EmailMessage &message);
    void setMessages(const QList<EmailMessage> &messages);
    // Every account's rows merged newest first, MaxResults in all.
    QList<EmailMessage> mergedParts() const;
    // Changes a listed message in its account's part too, so that a later
    // merge keeps the change; `change` returns false to drop the message.
    void changeInParts(const QString &messageID, const std::function<bool(EmailMessage &)> &change);
    void setExpandedID(const std::optional<QString> &id);
    void setSummary(const QString &id, const SummaryState &state);
    void setReplyState(const QString &id, const ReplyState &state);

    QString expandedIDOrEmpty() const { return m_expandedID.value_or(QString()); }

    // While every account is shown: each account's listed rows, by account id.
    QHash<QString, QList<EmailMessage>> m_parts;
    QHash<QString, SummaryState> m_summaries;
    QHash<QString, ReplyState> m_replyStates;
    std::optional<QString> m_expandedID;
    AIService m_ai;
    // Messages whose summary was started but has no entry yet (the model's
    // availability is still being asked), so a quick second expansion does
    // not start another.
    QSet<QString> m_summariesStarting;
    // Reads the maps above; declared after them.
    MailMessageList m_list{*this};
};
