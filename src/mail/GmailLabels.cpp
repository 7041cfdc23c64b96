// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/GmailLabels.h"

#include "mail/GmailMessage.h"
#include "mail/GmailService.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"
#include "core/Error.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QString Me = QStringLiteral("me");

std::unique_ptr<rest::GmailAPIService> gmailService(std::shared_ptr<rest::Authorizer> authorizer)
{
    auto service = std::make_unique<rest::GmailAPIService>();
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
        if (const auto id = stub->identifier())
            ids.append(*id);
    co_return ids;
}

// Gmail's answer for a label id it does not know (deleted meanwhile).
bool isUnknownLabel(const Error &error)
{
    return error.domain() == QLatin1String("rest.error") && (error.code() == 400 || error.code() == 404);
}

struct Listed
{
    EmailMessage message;
    qint64 arrived = 0; // internalDate, ms
};

QCoro::Task<Listed> fetchListed(rest::GmailAPIService &service, QString id)
{
    auto query = rest::GmailMessagesGetQuery::query(Me, id);
    query->setFormat(QStringLiteral("metadata"));
    query->setMetadataHeaders({QStringLiteral("From"), QStringLiteral("Subject"), QStringLiteral("Date")});
    const auto object = co_await rest::executeQuery(service, query);
    const QJsonObject json = object ? object->JSON() : QJsonObject{{"id", id}};
    co_return Listed{gmail::emailMessageFromJson(json),
                     json.value(QStringLiteral("internalDate")).toString().toLongLong()};
}

} // namespace

namespace gmail {

QList<GmailLabel> pickableOf(const QList<GmailLabel> &all)
{
    QList<GmailLabel> system;
    QList<GmailLabel> user;
    for (const QString &id : PickableSystemLabels)
        for (const GmailLabel &label : all)
            if (label.id == id && !label.isUser)
                system.append(label);
    for (const GmailLabel &label : all)
        if (label.isUser)
            user.append(label);
    std::stable_sort(user.begin(), user.end(), [](const GmailLabel &a, const GmailLabel &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return system + user;
}

QCoro::Task<QList<GmailLabel>> pickableLabels(std::shared_ptr<rest::Authorizer> authorizer)
{
    auto service = gmailService(std::move(authorizer));
    const auto answer = std::dynamic_pointer_cast<rest::GmailListLabelsResource>(
        co_await rest::executeQuery(*service, rest::GmailLabelsListQuery::query(Me)));
    QList<GmailLabel> all;
    if (answer && answer->hasKey(answer->collectionItemsKey())) {
        for (const rest::RestObjectPtr &item : answer->items()) {
            const QJsonObject json = item->JSON();
            const QString id = json.value(QStringLiteral("id")).toString();
            if (id.isEmpty())
                continue;
            all.append({id, json.value(QStringLiteral("name")).toString(id),
                        json.value(QStringLiteral("type")).toString() == u"user"});
        }
    }
    co_return pickableOf(all);
}

QCoro::Task<int> unreadCount(std::shared_ptr<rest::Authorizer> authorizer, QString labelId)
{
    auto service = gmailService(std::move(authorizer));
    const auto label = co_await rest::executeQuery(*service, rest::GmailLabelsGetQuery::query(Me, labelId));
    co_return label ? label->JSON().value(QStringLiteral("messagesUnread")).toInt() : 0;
}

QCoro::Task<QStringList> unreadIds(std::shared_ptr<rest::Authorizer> authorizer, QString labelId,
                                   unsigned maxResults)
{
    auto service = gmailService(std::move(authorizer));
    const QStringList labels{labelId, GmailService::UnreadLabel};
    co_return co_await listIds(*service, labels, maxResults);
}

QCoro::Task<EmailMessage> listedMessage(std::shared_ptr<rest::Authorizer> authorizer, QString messageID)
{
    auto service = gmailService(std::move(authorizer));
    co_return (co_await fetchListed(*service, messageID)).message;
}

QCoro::Task<QList<EmailMessage>> unreadInAny(std::shared_ptr<rest::Authorizer> authorizer,
                                             QStringList labelIds, unsigned maxResults)
{
    labelIds.removeDuplicates();
    if (labelIds.size() == 1) {
        const QStringList labels{labelIds.first(), GmailService::UnreadLabel};
        co_return co_await GmailService::list(std::move(authorizer), labels, maxResults);
    }
    auto service = gmailService(std::move(authorizer));
    QList<QStringList> lists;
    for (const QString &label : labelIds) {
        try {
            const QStringList labels{label, GmailService::UnreadLabel};
            lists.append(co_await listIds(*service, labels, maxResults));
        } catch (const Error &error) {
            if (!isUnknownLabel(error))
                throw;
        }
    }
    // Each list is newest first: take the newest head until enough are
    // taken, fetching each message once.
    QHash<QString, Listed> fetched;
    QList<EmailMessage> merged;
    QSet<QString> taken;
    QList<int> next(lists.size(), 0);
    while (unsigned(merged.size()) < maxResults) {
        int newest = -1;
        for (int i = 0; i < lists.size(); ++i) {
            while (next[i] < lists[i].size() && taken.contains(lists[i][next[i]]))
                ++next[i];
            if (next[i] == lists[i].size())
                continue;
            const QString id = lists[i][next[i]];
            if (!fetched.contains(id))
                fetched.insert(id, co_await fetchListed(*service, id));
            if (newest < 0 || fetched[id].arrived > fetched[lists[newest][next[newest]]].arrived)
                newest = i;
        }
        if (newest < 0)
            break;
        const QString id = lists[newest][next[newest]];
        taken.insert(id);
        merged.append(fetched[id].message);
    }
    co_return merged;
}

} // namespace gmail
