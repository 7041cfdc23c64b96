// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mail/MessageDetails.h"
#include "rest/Authorizer.h"

#include <QStringList>

#include <qcoro/qcorotask.h>

#include <memory>

namespace rest {
class GmailAPIService;
}

// The listing steps the Gmail clients share: one page of message ids, and
// the details of those not known yet.
namespace gmail {

// A fresh service per operation; further pages are never fetched.
std::shared_ptr<rest::GmailAPIService> gmailService(std::shared_ptr<rest::Authorizer> authorizer);

// users.messages.list: the ids of one page, in the server's order.
QCoro::Task<QStringList> listIds(rest::GmailAPIService &service, QStringList labelIds, unsigned maxResults);

// Fetches the metadata of every id the details lack into them, in one batch
// request per hundred ids. A message whose own call failed (gone since it was
// listed, or refused) is left out; only when every call failed does the
// fetch fail, with the first error. An answer that is no message adds nothing.
QCoro::Task<void> fetchMissing(std::shared_ptr<rest::GmailAPIService> service, QStringList ids,
                               std::shared_ptr<MessageDetails> details);

// The known messages among the ids, in their order. Listed under UNREAD
// they are unread, whatever they were when first fetched.
QList<EmailMessage> messagesOf(const QStringList &ids, const MessageDetails &details, bool listedUnread);

} // namespace gmail
