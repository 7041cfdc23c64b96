// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MessageFetch.h"

#include "core/Error.h"
#include "mail/GmailMessage.h"
#include "rest/ExecuteBatch.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

namespace {

const QString Me = QStringLiteral("me");
constexpr int GoneStatus = 404;

rest::RestQueryPtr detailQuery(const QString &id)
{
    auto query = rest::GmailMessagesGetQuery::query(Me, id);
    query->setFormat(QStringLiteral("metadata"));
    query->setMetadataHeaders({QStringLiteral("From"), QStringLiteral("Subject"), QStringLiteral("Date")});
    return query;
}

std::optional<ListedDetail> detailOf(const rest::RestObjectPtr &object)
{
    if (!std::dynamic_pointer_cast<rest::GmailMessageResource>(object))
        return std::nullopt;
    const QJsonObject json = object->JSON();
    return ListedDetail{gmail::emailMessageFromJson(json),
                        json.value(QStringLiteral("internalDate")).toString().toLongLong()};
}

} // namespace

namespace gmail {

std::shared_ptr<rest::GmailAPIService> gmailService(std::shared_ptr<rest::Authorizer> authorizer)
{
    auto service = std::make_shared<rest::GmailAPIService>();
    service->authorizer = std::move(authorizer);
    service->shouldFetchNextPages = false;
    return service;
}

QCoro::Task<QStringList> listIds(rest::GmailAPIService &service, QStringList labelIds, unsigned maxResults)
{
    auto query = rest::GmailMessagesListQuery::query(Me);
    query->setLabelIds(labelIds);
    query->setMaxResults(qint64(maxResults));
    const auto page = std::dynamic_pointer_cast<rest::GmailListMessagesResource>(
        co_await rest::executeQuery(service, query));
    QStringList ids;
    if (!page || !page->hasKey(page->collectionItemsKey()))
        co_return ids;
    for (const rest::RestObjectPtr &stub : page->items())
        if (const auto id = stub->identifier(); id && !ids.contains(*id))
            ids.append(*id);
    co_return ids;
}

QCoro::Task<void> fetchMissing(std::shared_ptr<rest::GmailAPIService> service, QStringList ids,
                               std::shared_ptr<MessageDetails> details)
{
    QStringList missing;
    for (const QString &id : ids)
        if (!details->contains(id) && !missing.contains(id))
            missing.append(id);
    if (missing.isEmpty())
        co_return;
    QList<rest::RestQueryPtr> queries;
    for (const QString &id : std::as_const(missing))
        queries.append(detailQuery(id));
    const QList<rest::Parsed> answers = co_await rest::executeBatch(*service, queries);
    std::optional<Error> failure;
    bool anyAnswered = false;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        if (const auto &error = answers.at(i).error; error && error->code() == GoneStatus) {
            anyAnswered = true; // deleted since it was listed: nothing to show
            continue;
        }
        if (answers.at(i).error) {
            failure = failure.value_or(*answers.at(i).error);
            continue;
        }
        anyAnswered = true;
        if (const std::optional<ListedDetail> detail = detailOf(answers.at(i).object))
            details->insert(missing.at(i), *detail);
    }
    if (failure && !anyAnswered)
        throw *failure;
}

QList<EmailMessage> messagesOf(const QStringList &ids, const MessageDetails &details, bool listedUnread)
{
    QList<EmailMessage> messages;
    for (const QString &id : ids) {
        std::optional<ListedDetail> detail = details.find(id);
        if (!detail)
            continue;
        if (listedUnread)
            detail->message.isUnread = true;
        messages.append(detail->message);
    }
    return messages;
}

} // namespace gmail
