// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/Authorizer.h"
#include "mail/EmailMessage.h"
#include "mail/MessageDetails.h"

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>

// One label of a mailbox as the label picker offers it.
struct GmailLabel
{
    QString id;
    QString name; // as the web interface names it; "/" nests user labels
    bool isUser = false;

    friend bool operator==(const GmailLabel &, const GmailLabel &) = default;
};

// The mailbox's labels and unread messages, beyond the mail tab's own list.
// Stateless, like GmailService; each call throws the REST layer's Error.
namespace gmail {

// The system labels a user may pick, in this order.
inline const QStringList PickableSystemLabels{QStringLiteral("INBOX"), QStringLiteral("STARRED"),
                                              QStringLiteral("IMPORTANT")};

// users.labels.list narrowed to what can be picked: the three system labels,
// then the user labels by name.
QCoro::Task<QList<GmailLabel>> pickableLabels(std::shared_ptr<rest::Authorizer> authorizer);
QList<GmailLabel> pickableOf(const QList<GmailLabel> &all);

// users.labels.get: the label's "messagesUnread".
QCoro::Task<int> unreadCount(std::shared_ptr<rest::Authorizer> authorizer, QString labelId);

// The ids of the newest unread messages under the label, newest first.
QCoro::Task<QStringList> unreadIds(std::shared_ptr<rest::Authorizer> authorizer, QString labelId,
                                   unsigned maxResults);

// The messages with the headers the list shows (From, Subject, Date), in
// the ids' order; fetched only where the details lack them.
QCoro::Task<QList<EmailMessage>> listedMessages(std::shared_ptr<rest::Authorizer> authorizer, QStringList ids,
                                                std::shared_ptr<MessageDetails> details);

// The newest unread messages carrying any of the labels, newest first, at
// most `maxResults`. Gmail lists only messages carrying all labels asked
// for, so each label has its own list, merged by arrival; a label Gmail no
// longer knows lists nothing. Details come from `details` where it has them
// (a fresh set without), and what is listed is noted there as `lister`'s.
QCoro::Task<QList<EmailMessage>> unreadInAny(std::shared_ptr<rest::Authorizer> authorizer,
                                             QStringList labelIds, unsigned maxResults,
                                             std::shared_ptr<MessageDetails> details = {},
                                             MessageDetails::Lister lister = MessageDetails::Lister::MailTab);

} // namespace gmail
