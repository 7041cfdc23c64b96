// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/GmailService.h"

#include "mail/GmailMessage.h"
#include "mail/MessageFetch.h"
#include "mail/ReplyDraft.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

namespace {

const QString Me = QStringLiteral("me");

// Text parts fetched separately for one body, at most; a real message has one or two.
constexpr int MaxBodyFetches = 4;

using gmail::gmailService;

std::shared_ptr<rest::GmailMessagesGetQuery> metadataQuery(const QString &id, const QStringList &headers)
{
    auto query = rest::GmailMessagesGetQuery::query(Me, id);
    query->setFormat(QStringLiteral("metadata"));
    query->setMetadataHeaders(headers);
    return query;
}

// The message object of an answer, or nothing when it is another shape.
std::optional<QJsonObject> messageJSON(const rest::RestObjectPtr &object)
{
    if (!std::dynamic_pointer_cast<rest::GmailMessageResource>(object))
        return std::nullopt;
    return object->JSON();
}

} // namespace

QCoro::Task<QList<EmailMessage>> GmailService::list(std::shared_ptr<rest::Authorizer> authorizer,
                                                    QStringList labelIds, unsigned maxResults,
                                                    std::shared_ptr<MessageDetails> details)
{
    auto service = gmailService(std::move(authorizer));
    const QStringList ids = co_await gmail::listIds(*service, labelIds, maxResults);
    if (!details)
        details = std::make_shared<MessageDetails>();
    co_await gmail::fetchMissing(service, ids, details);
    co_return gmail::messagesOf(ids, *details, labelIds.contains(UnreadLabel));
}

QCoro::Task<QString> GmailService::bodyText(std::shared_ptr<rest::Authorizer> authorizer, QString messageID)
{
    auto service = gmailService(std::move(authorizer));
    auto query = rest::GmailMessagesGetQuery::query(Me, messageID);
    query->setFormat(QStringLiteral("full"));
    auto message = messageJSON(co_await rest::executeQuery(*service, query));
    if (!message)
        co_return QString();
    // A large text part comes without data; its body is fetched on its own.
    QJsonObject payload = message->value(QStringLiteral("payload")).toObject();
    for (int fetched = 0; fetched < MaxBodyFetches; ++fetched) {
        const std::optional<QString> pending = gmail::pendingTextAttachment(payload);
        if (!pending)
            break;
        const auto body = co_await rest::executeQuery(
            *service, rest::GmailMessagesAttachmentsGetQuery::query(Me, messageID, *pending));
        const QString data = body ? body->stringValue(QStringLiteral("data")).value_or(QString()) : QString();
        payload = gmail::withBodyData(payload, *pending, data);
    }
    message->insert(QStringLiteral("payload"), payload);
    co_return gmail::bodyTextOf(*message);
}

QCoro::Task<void> GmailService::createReplyDraft(std::shared_ptr<rest::Authorizer> authorizer,
                                                 EmailMessage replyingTo, QString body)
{
    auto service = gmailService(std::move(authorizer));
    const QStringList headers{QStringLiteral("Message-ID"), QStringLiteral("References"),
                              QStringLiteral("From"), QStringLiteral("Subject")};
    const auto original = messageJSON(
                              co_await rest::executeQuery(*service, metadataQuery(replyingTo.id, headers)))
                              .value_or(QJsonObject());
    const QString messageID = gmail::headerValue(original, QStringLiteral("Message-ID"));
    const QString references = gmail::headerValue(original, QStringLiteral("References"));

    const QByteArray text = gmail::replyMessageText(replyingTo, messageID, references, body);
    auto message = std::make_shared<rest::RestObject>();
    message->setString(QStringLiteral("raw"), gmail::base64UrlNoPadding(text));
    message->setString(QStringLiteral("threadId"), replyingTo.threadId);
    auto draft = std::make_shared<rest::RestObject>();
    draft->setObject(QStringLiteral("message"), message);
    co_await rest::executeQuery(*service, rest::GmailDraftsCreateQuery::query(draft, Me));
}

QCoro::Task<void> GmailService::modifyLabels(std::shared_ptr<rest::Authorizer> authorizer, QString messageID,
                                             QStringList removeLabelIds)
{
    auto service = gmailService(std::move(authorizer));
    auto change = std::make_shared<rest::RestObject>();
    change->setStringArray(QStringLiteral("removeLabelIds"), removeLabelIds);
    co_await rest::executeQuery(*service, rest::GmailMessagesModifyQuery::query(change, Me, messageID));
}
