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

// The mail tab's door to the Gmail API. Stateless: every operation builds its
// own Gmail service object with the caller's authorizer, runs its requests on
// the main thread and throws the REST layer's Error.
class GmailService
{
public:
    // The label list page, then one metadata request per message the details
    // do not know yet (all of them without details), a few at a time.
    // Messages in the server's order; one failure fails the listing.
    static QCoro::Task<QList<EmailMessage>> list(std::shared_ptr<rest::Authorizer> authorizer,
                                                 QStringList labelIds, unsigned maxResults,
                                                 std::shared_ptr<MessageDetails> details = {});

    // The readable text of one message (plain text, else HTML without tags,
    // else the snippet), possibly empty. A text part that came as an
    // attachment (large bodies) is fetched with a second request.
    static QCoro::Task<QString> bodyText(std::shared_ptr<rest::Authorizer> authorizer, QString messageID);

    // Saves `body` as a reply draft in the message's thread, threaded by its
    // Message-ID and References when it has them.
    static QCoro::Task<void> createReplyDraft(std::shared_ptr<rest::Authorizer> authorizer,
                                              EmailMessage replyingTo, QString body);

    // One label change: mark read removes "UNREAD", archive removes "INBOX".
    static QCoro::Task<void> modifyLabels(std::shared_ptr<rest::Authorizer> authorizer, QString messageID,
                                          QStringList removeLabelIds);

    static inline const QString UnreadLabel = QStringLiteral("UNREAD");
    static inline const QString InboxLabel = QStringLiteral("INBOX");
};
