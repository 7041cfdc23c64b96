// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/GmailLabels.h"

#include "mail/GmailMessage.h"
#include "mail/GmailService.h"
#include "mail/MessageFetch.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"
#include "core/Error.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QString Me = QStringLiteral("me");

// Gmail's answer for a label id it does not know (deleted meanwhile).
bool isUnknownLabel(const Error &error)
{
    return error.domain() == QLatin1String("rest.error") && (error.code() == 400 || error.code() == 404);
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

QCoro::Task<QList<EmailMessage>> listedMessages(std::shared_ptr<rest::Authorizer> authorizer, QStringList ids,
                                                std::shared_ptr<MessageDetails> details)
{
    co_await fetchMissing(gmailService(std::move(authorizer)), ids, details);
    co_return messagesOf(ids, *details, false);
}

QCoro::Task<QList<EmailMessage>> unreadInAny(std::shared_ptr<rest::Authorizer> authorizer,
                                             QStringList labelIds, unsigned maxResults,
                                             std::shared_ptr<MessageDetails> details,
                                             MessageDetails::Lister lister)
{
    labelIds.removeDuplicates();
    if (!details)
        details = std::make_shared<MessageDetails>();
    if (labelIds.size() == 1) {
        const QStringList labels{labelIds.first(), GmailService::UnreadLabel};
        const QList<EmailMessage> listed = co_await GmailService::list(std::move(authorizer), labels,
                                                                       maxResults, details);
        QStringList ids;
        for (const EmailMessage &message : listed)
            ids.append(message.id);
        details->noteListed(lister, ids);
        co_return listed;
    }
    auto service = gmailService(std::move(authorizer));
    QStringList all;
    for (const QString &label : labelIds) {
        try {
            const QStringList labels{label, GmailService::UnreadLabel};
            const QStringList ids = co_await listIds(*service, labels, maxResults);
            for (const QString &id : ids)
                if (!all.contains(id))
                    all.append(id);
        } catch (const Error &error) {
            if (!isUnknownLabel(error))
                throw;
        }
    }
    co_await fetchMissing(service, all, details);
    details->noteListed(lister, all);
    // Each list is newest first; merged, the newest of all come first.
    QList<ListedDetail> merged;
    for (const QString &id : all)
        if (const auto detail = details->find(id))
            merged.append(*detail);
    std::stable_sort(merged.begin(), merged.end(),
                     [](const ListedDetail &a, const ListedDetail &b) { return a.arrived > b.arrived; });
    QList<EmailMessage> messages;
    for (const ListedDetail &detail : merged.mid(0, qsizetype(maxResults))) {
        messages.append(detail.message);
        messages.last().isUnread = true;
    }
    co_return messages;
}

} // namespace gmail
