// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MessageFetch.h"

#include "core/Error.h"
#include "mail/GmailMessage.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

#include <vector>

namespace {

const QString Me = QStringLiteral("me");

// The ids still to fetch, shared by the workers of one round.
struct FetchRound
{
    QStringList queue;
    std::shared_ptr<MessageDetails> details;
    std::optional<Error> failure;
};

QCoro::Task<std::optional<ListedDetail>> fetchDetail(rest::GmailAPIService &service, QString id)
{
    auto query = rest::GmailMessagesGetQuery::query(Me, id);
    query->setFormat(QStringLiteral("metadata"));
    query->setMetadataHeaders({QStringLiteral("From"), QStringLiteral("Subject"), QStringLiteral("Date")});
    const auto object = co_await rest::executeQuery(service, query);
    if (!std::dynamic_pointer_cast<rest::GmailMessageResource>(object))
        co_return std::nullopt;
    const QJsonObject json = object->JSON();
    co_return ListedDetail{gmail::emailMessageFromJson(json),
                           json.value(QStringLiteral("internalDate")).toString().toLongLong()};
}

// Takes ids off the shared queue until it is empty or a fetch failed.
QCoro::Task<void> fetchWorker(std::shared_ptr<rest::GmailAPIService> service,
                              std::shared_ptr<FetchRound> round)
{
    while (!round->queue.isEmpty() && !round->failure) {
        const QString id = round->queue.takeFirst();
        try {
            const std::optional<ListedDetail> detail = co_await fetchDetail(*service, id);
            if (detail)
                round->details->insert(id, *detail);
        } catch (const Error &error) {
            if (!round->failure)
                round->failure = error;
        }
    }
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
    auto round = std::make_shared<FetchRound>();
    round->details = details;
    for (const QString &id : ids)
        if (!details->contains(id) && !round->queue.contains(id))
            round->queue.append(id);
    std::vector<QCoro::Task<void>> workers;
    for (qsizetype i = 0; i < std::min<qsizetype>(ConcurrentFetches, round->queue.size()); ++i)
        workers.push_back(fetchWorker(service, round));
    for (const QCoro::Task<void> &worker : workers)
        co_await worker;
    if (round->failure)
        throw *round->failure;
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
