// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Routes.h"
#include "Seed.h"
#include "Util.h"

#include <QJsonArray>

// Run-time changes to a mailbox for tests: mail that arrives, a label the
// user deleted in the web interface.
namespace {

QJsonObject bodyOf(const Exchange &exchange)
{
    return util::parseObject(exchange.body()).value_or(QJsonObject());
}

AccountData *mailbox(State &state, Exchange &exchange, const QJsonObject &body)
{
    const QString sub = body.value(QStringLiteral("sub")).toString();
    if (!state.account(sub) || !state.data.contains(sub)) {
        exchange.apiError(404, QStringLiteral("No such account."), QStringLiteral("notFound"));
        return nullptr;
    }
    return &state.data[sub];
}

// A new message on top of the mailbox: unread in the inbox unless other
// labels are given.
void deliver(State &state, Exchange &exchange)
{
    const QJsonObject body = bodyOf(exchange);
    std::lock_guard lock(state.mutex);
    AccountData *data = mailbox(state, exchange, body);
    if (!data)
        return;
    Message message;
    message.id = seeding::messageId(0x9000 + ++state.serial);
    message.threadId = message.id;
    message.internalDate = QDateTime::currentDateTime();
    const QJsonArray labels = body.value(QStringLiteral("labelIds")).toArray({"INBOX", "UNREAD"});
    for (const QJsonValue &label : labels) {
        if (!knownLabel(*data, label.toString()))
            return exchange.apiError(400, QStringLiteral("Invalid label: ") + label.toString(),
                                     QStringLiteral("invalidArgument"));
        message.labelIds.append(label.toString());
    }
    message.payload = seeding::textPart(
        QStringLiteral("text/plain"),
        body.value(QStringLiteral("body")).toString(QStringLiteral("Hello.")).toUtf8());
    message.payload.headers = {{"MIME-Version", "1.0"},
                               {"Date", util::rfc2822(message.internalDate)},
                               {"Subject", body.value(QStringLiteral("subject")).toString()},
                               {"From", body.value(QStringLiteral("from")).toString()},
                               {"To", state.account(body.value(QStringLiteral("sub")).toString())->email}};
    message.snippet = seeding::snippetOf(message.payload);
    data->messages.prepend(message);
    exchange.json(200, QJsonObject{{"id", message.id}, {"threadId", message.threadId}});
}

// As Gmail does on labels.delete: the label goes from the list and from
// every message that carried it.
void deleteLabel(State &state, Exchange &exchange)
{
    const QJsonObject body = bodyOf(exchange);
    std::lock_guard lock(state.mutex);
    AccountData *data = mailbox(state, exchange, body);
    if (!data)
        return;
    const QString id = body.value(QStringLiteral("id")).toString();
    const auto removed = data->labels.removeIf([&](const Label &label) { return label.id == id; });
    if (removed == 0)
        return exchange.apiError(404, QStringLiteral("Not Found"), QStringLiteral("notFound"));
    for (Message &message : data->messages)
        message.labelIds.removeAll(id);
    exchange.json(200, QJsonObject{{"ok", true}});
}

} // namespace

void addMailControlRoutes(Server &server, State &state)
{
    State *s = &state;
    server.control("POST", "/__sandbox/mail", [s](Exchange &e) { deliver(*s, e); });
    server.control("POST", "/__sandbox/delete-label", [s](Exchange &e) { deleteLabel(*s, e); });
}
