// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/ExecuteQuery.h"

#include "support/Completion.h"

namespace rest {

QCoro::Task<RestObjectPtr> executeQuery(RestService &service, RestQueryPtr query)
{
    auto answer = awaitCompletion<RestObjectPtr>([&service, query](Completion<RestObjectPtr> done) {
        service.executeQuery(query, [done](const ServiceTicketPtr &, const RestObjectPtr &object,
                                           const std::optional<Error> &error) {
            error ? done(std::nullopt, error) : done(object, std::nullopt);
        });
    });
    co_return co_await std::move(answer);
}

QCoro::Task<> forEachPage(RestService &service, std::function<RestQueryPtr(const QString &)> makeQuery,
                          std::function<bool(const CollectionObject &)> onPage, int maxPages)
{
    QString token;
    for (int page = 0; page < maxPages; ++page) {
        const auto object = co_await executeQuery(service, makeQuery(token));
        const auto answer = std::dynamic_pointer_cast<CollectionObject>(object);
        if (!answer || !onPage(*answer))
            co_return;
        token = answer->stringValue(QStringLiteral("nextPageToken")).value_or(QString());
        if (token.isEmpty())
            co_return;
    }
}

QCoro::Task<QList<RestObjectPtr>> collectItems(RestService &service,
                                               std::function<RestQueryPtr(const QString &)> makeQuery,
                                               qsizetype wanted, int maxPages)
{
    QList<RestObjectPtr> items;
    if (wanted <= 0)
        co_return items;
    co_await forEachPage(
        service, std::move(makeQuery),
        [&items, wanted](const CollectionObject &page) {
            if (page.hasKey(page.collectionItemsKey()))
                items.append(page.items());
            return items.size() < wanted;
        },
        maxPages);
    if (items.size() > wanted)
        items.resize(wanted);
    co_return items;
}

} // namespace rest
