// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/ExecuteBatch.h"

#include "rest/BatchFormat.h"
#include "support/Completion.h"

#include <QCoreApplication>
#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

namespace rest {

namespace {

// The inner call of one query: its path and query, method, Accept and body.
// The token and the user agent travel once, on the outer request.
BatchCall callFor(const HttpRequest &request, qsizetype index)
{
    BatchCall call;
    call.contentID = "item-" + QByteArray::number(index);
    call.method = request.method;
    call.target = request.url.path(QUrl::FullyEncoded).toUtf8();
    if (request.url.hasQuery())
        call.target += '?' + request.url.query(QUrl::FullyEncoded).toUtf8();
    call.headers.append({"Accept", request.header("Accept")});
    if (!request.body.isEmpty()) {
        call.headers.append({"Content-Type", request.header("Content-Type")});
        call.body = request.body;
    }
    return call;
}

Error malformedAnswer(const QString &reason)
{
    return transportError(TransportBadServerResponse,
                          QStringLiteral("The server's batch answer could not be read. ") + reason);
}

struct Prepared
{
    QList<BatchCall> calls;
    QList<const ObjectClass *> expected;
};

Prepared prepare(const RestService &service, const QList<RestQueryPtr> &queries)
{
    Prepared prepared;
    for (const RestQueryPtr &query : queries) {
        if (!query || query->isInvalid())
            throw Error::make(QueryErrorDomain, QueryErrorInvalid,
                              QStringLiteral("The query is missing or was already executed."));
        RestQueryPtr executing = query->copy();
        query->invalidateQuery();
        const QStringList &pretty = service.prettyPrintQueryParameterNames;
        if (!pretty.isEmpty() && !executing->additionalURLQueryParameters.contains(pretty.first()))
            executing->additionalURLQueryParameters.insert(pretty.first(), QStringLiteral("false"));
        Error error;
        const auto request = service.requestForQuery(*executing, &error);
        if (!request)
            throw error;
        prepared.calls.append(callFor(*request, prepared.calls.size()));
        prepared.expected.append(executing->expectedObjectClass);
    }
    return prepared;
}

HttpRequest outerRequest(const RestService &service, const QList<BatchCall> &calls)
{
    const QByteArray boundary = batchBoundary(calls);
    HttpRequest request;
    request.url = QUrl(service.rootURLString + service.batchPath.value_or(QString()));
    request.method = "POST";
    request.timeoutSeconds = 60;
    request.setHeader("User-Agent", service.requestUserAgent().toUtf8());
    request.setHeader("Content-Type", "multipart/mixed; boundary=" + boundary);
    request.body = batchRequestBody(boundary, calls);
    return request;
}

// Each call's outcome, or the failure of the whole.
struct Outcome
{
    QList<Parsed> results;
    std::optional<Error> failure;
};

// Reads the batch answer; pure, so it runs on a worker thread.
Outcome parseParts(const Answer &outer, const Prepared &prepared, const ObjectClassResolver &resolver)
{
    QString failure;
    const auto parts = parseBatchAnswer(outer.contentType, outer.data, &failure);
    if (!parts)
        return {{}, malformedAnswer(failure)};
    QList<Parsed> results;
    for (qsizetype i = 0; i < prepared.calls.size(); ++i) {
        const auto part = std::find_if(parts->cbegin(), parts->cend(), [&](const BatchAnswerPart &p) {
            return p.contentID == prepared.calls.at(i).contentID;
        });
        if (part == parts->cend()) {
            results.append({nullptr, malformedAnswer(QStringLiteral("A call has no answer."))});
            continue;
        }
        Answer inner{part->body, std::nullopt, part->status, part->header("Content-Type")};
        if (part->status >= 300)
            inner.error = Error(
                StatusErrorDomain, part->status,
                QVariantMap{{StatusDataKey, part->body},
                            {StatusDataContentTypeKey, QString::fromLatin1(inner.contentType)}});
        results.append(parseAnswer(inner, prepared.expected.at(i), resolver, false));
    }
    return {results, std::nullopt};
}

QCoro::Task<QList<Parsed>> runBatch(RestService &service, QList<RestQueryPtr> queries)
{
    auto prepared = std::make_shared<Prepared>(prepare(service, queries));
    HTTPFetcherPtr fetcher = service.fetcherService->fetcherWithRequest(
        outerRequest(service, prepared->calls));
    fetcher->authorizer = service.authorizer;
    fetcher->retryEnabled = service.retryEnabled;
    fetcher->maxRetryInterval = service.maxRetryInterval;
    const ObjectClassResolver resolver = service.objectClassResolver;
    auto answer = awaitCompletion<QList<Parsed>>(
        [fetcher, prepared, resolver](Completion<QList<Parsed>> done) {
            fetcher->beginFetch([fetcher, prepared, resolver, done](const QByteArray &data,
                                                                    std::optional<Error> error) {
                const Answer outer{data, error, fetcher->statusCode(),
                                   fetcher->response().header("Content-Type")};
                if (error) {
                    done(std::nullopt, parseAnswer(outer, nullptr, resolver, false).error.value_or(*error));
                    return;
                }
                QtConcurrent::run(parseParts, outer, *prepared, resolver)
                    .then(QCoreApplication::instance(), [done](const Outcome &outcome) {
                        outcome.failure ? done(std::nullopt, outcome.failure)
                                        : done(outcome.results, std::nullopt);
                    });
            });
        });
    co_return co_await std::move(answer);
}

} // namespace

QCoro::Task<QList<Parsed>> executeBatch(RestService &service, QList<RestQueryPtr> queries)
{
    QList<Parsed> results;
    std::optional<Error> failure;
    for (qsizetype from = 0; from < queries.size(); from += MaxBatchCalls) {
        try {
            results.append(co_await runBatch(service, queries.mid(from, MaxBatchCalls)));
        } catch (const Error &error) {
            failure = failure.value_or(error);
        }
    }
    if (failure)
        throw *failure;
    co_return results;
}

} // namespace rest
