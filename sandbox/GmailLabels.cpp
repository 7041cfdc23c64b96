// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Discovery.h"
#include "Routes.h"

#include <QJsonArray>

namespace {

struct SystemLabel
{
    const char *id;
    bool hidden; // listed with "hide" / "labelHide"
};

// Gmail's own labels, in the order its label list gives them.
const SystemLabel SystemLabels[] = {
    {"CHAT", true},
    {"SENT", false},
    {"INBOX", false},
    {"IMPORTANT", true},
    {"TRASH", true},
    {"DRAFT", true},
    {"SPAM", true},
    {"CATEGORY_FORUMS", true},
    {"CATEGORY_UPDATES", true},
    {"CATEGORY_PERSONAL", true},
    {"CATEGORY_PROMOTIONS", true},
    {"CATEGORY_SOCIAL", true},
    {"STARRED", true},
    {"UNREAD", false},
};

// gmail ListLabelsResponse.labels: "each label resource only contains an id,
// name, messageListVisibility, labelListVisibility, and type".
void listLabels(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly", "gmail.compose"});
    if (!sub)
        return;
    QJsonArray labels;
    for (const SystemLabel &label : SystemLabels) {
        QJsonObject json{{"id", label.id}, {"name", label.id}, {"type", "system"}};
        if (label.hidden) {
            json.insert(QStringLiteral("messageListVisibility"), QStringLiteral("hide"));
            json.insert(QStringLiteral("labelListVisibility"), QStringLiteral("labelHide"));
        }
        labels.append(json);
    }
    for (const Label &label : state.data[*sub].labels)
        labels.append(QJsonObject{{"id", label.id},
                                  {"name", label.name},
                                  {"messageListVisibility", label.messageListVisibility},
                                  {"labelListVisibility", label.labelListVisibility},
                                  {"type", "user"}});
    exchange.json(200, QJsonObject{{"labels", labels}});
}

// gmail Label with its counts, as users.labels.get gives it; drafts count
// only under DRAFT.
void getLabel(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = gmailAccount(state, exchange, {"gmail.modify", "gmail.readonly", "gmail.compose"});
    if (!sub)
        return;
    const AccountData &data = state.data[*sub];
    const QString id = exchange.capture(1);
    if (!knownLabel(data, id))
        return exchange.apiError(404, QStringLiteral("Requested entity was not found."),
                                 QStringLiteral("notFound"));
    QJsonObject json{{"id", id}, {"name", id}, {"type", "system"}};
    for (const Label &label : data.labels)
        if (label.id == id)
            json = QJsonObject{{"id", id},
                               {"name", label.name},
                               {"type", "user"},
                               {"messageListVisibility", label.messageListVisibility},
                               {"labelListVisibility", label.labelListVisibility}};
    int total = 0, unread = 0;
    QSet<QString> threads, unreadThreads;
    for (const Message &message : data.messages) {
        if (!message.labelIds.contains(id)
            || (id != u"DRAFT" && message.labelIds.contains(QStringLiteral("DRAFT"))))
            continue;
        ++total;
        threads.insert(message.threadId);
        if (message.labelIds.contains(QStringLiteral("UNREAD"))) {
            ++unread;
            unreadThreads.insert(message.threadId);
        }
    }
    json.insert(QStringLiteral("messagesTotal"), total);
    json.insert(QStringLiteral("messagesUnread"), unread);
    json.insert(QStringLiteral("threadsTotal"), int(threads.size()));
    json.insert(QStringLiteral("threadsUnread"), int(unreadThreads.size()));
    exchange.json(200, json);
}

} // namespace

bool knownLabel(const AccountData &data, const QString &id)
{
    for (const SystemLabel &label : SystemLabels)
        if (id == QLatin1String(label.id))
            return true;
    for (const Label &label : data.labels)
        if (label.id == id)
            return true;
    return false;
}

void addGmailLabelRoutes(Server &server, State &state)
{
    State *s = &state;
    server.route("GET", R"(/gmail/v1/users/([^/]+)/labels)",
                 discovery::checked("gmail.users.labels.list", [s](Exchange &e) { listLabels(*s, e); }));
    server.route("GET", R"(/gmail/v1/users/([^/]+)/labels/([^/]+))",
                 discovery::checked("gmail.users.labels.get", [s](Exchange &e) { getLabel(*s, e); }));
}
