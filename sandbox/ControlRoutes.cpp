// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Mime.h"
#include "Routes.h"
#include "Util.h"

#include <QJsonArray>

namespace {

QJsonObject bodyObject(const Exchange &exchange)
{
    return util::parseObject(exchange.body()).value_or(QJsonObject());
}

void ok(Exchange &exchange, const QJsonObject &extra = {})
{
    QJsonObject answer = extra;
    answer.insert(QStringLiteral("ok"), true);
    exchange.json(200, answer);
}

QJsonArray accountList(const State &state)
{
    QJsonArray list;
    for (const Account &account : state.accounts)
        list.append(QJsonObject{{"sub", account.sub}, {"email", account.email}, {"name", account.name}});
    return list;
}

// Each draft as sent ("rawText") and as the provider read it: the decoded
// headers and body of its stored message, and what in the text breaks the
// mail standards ("problems").
QJsonArray draftList(const State &state, const QString &sub)
{
    QJsonArray list;
    const auto found = state.data.constFind(sub);
    if (found == state.data.cend())
        return list;
    const AccountData &data = *found;
    for (const Draft &draft : data.drafts) {
        QJsonObject entry{{"id", draft.id},
                          {"messageId", draft.messageId},
                          {"threadId", draft.threadId},
                          {"rawText", QString::fromUtf8(draft.raw)},
                          {"problems", QJsonArray::fromStringList(mime::problems(draft.raw))}};
        for (const Message &message : data.messages) {
            if (message.id != draft.messageId)
                continue;
            QJsonArray headers;
            for (const auto &[name, value] : message.payload.headers)
                headers.append(QJsonObject{{"name", name}, {"value", value}});
            entry.insert(QStringLiteral("headers"), headers);
            entry.insert(QStringLiteral("body"), QString::fromUtf8(message.payload.data));
        }
        list.append(entry);
    }
    return list;
}

// In the order the uploads started.
QJsonArray uploadList(const State &state)
{
    QJsonArray list;
    for (const QString &id : state.uploadOrder) {
        const auto &upload = state.uploads[id];
        list.append(QJsonObject{
            {"id", upload->id},
            {"sub", upload->sub},
            {"name", upload->name},
            {"parent", upload->parent},
            {"mimeType", upload->mimeType},
            {"status", upload->status},
            {"received", upload->received},
            {"total", upload->total},
            {"sha256",
             upload->status != u"final" ? QString() : QString::fromLatin1(upload->sha256->result().toHex())},
            {"md5",
             upload->status != u"final" ? QString() : QString::fromLatin1(upload->md5->result().toHex())},
            {"fileId", upload->fileId},
            {"writing", upload->busy},
            {"path", upload->file ? upload->file->fileName() : QString()}});
    }
    return list;
}

} // namespace

void addControlRoutes(Server &server, State &state)
{
    State *s = &state;
    Server *front = &server;
    server.control("GET", "/__sandbox/log", [front](Exchange &e) { e.json(200, front->log()); });
    server.control("DELETE", "/__sandbox/log", [front](Exchange &e) {
        front->clearLog();
        ok(e);
    });
    server.control("POST", "/__sandbox/reset", [s, front](Exchange &e) {
        front->resetTraffic();
        std::lock_guard lock(s->mutex);
        s->reset();
        ok(e);
    });
    server.control("POST", "/__sandbox/faults", [front](Exchange &e) {
        const QJsonObject fault = bodyObject(e);
        if (fault.value(QStringLiteral("route")).toString().isEmpty())
            return e.apiError(400, QStringLiteral("A fault needs a \"route\"."), QStringLiteral("invalid"));
        front->addFault(fault);
        ok(e);
    });
    server.control("GET", "/__sandbox/faults", [front](Exchange &e) {
        e.json(200, QJsonObject{{"pending", front->pendingFaults()}});
    });
    server.control("DELETE", "/__sandbox/faults", [front](Exchange &e) {
        front->clearFaults();
        ok(e);
    });
    server.control("POST", "/__sandbox/delay", [front](Exchange &e) {
        front->setDelay(qMax(0, bodyObject(e).value(QStringLiteral("ms")).toInt()));
        ok(e);
    });
    server.control("POST", "/__sandbox/token-lifetime", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        s->tokenLifetime = bodyObject(e).value(QStringLiteral("seconds")).toInt(3600);
        ok(e);
    });
    server.control("POST", "/__sandbox/refresh-rotation", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        s->rotateRefreshTokens = bodyObject(e).value(QStringLiteral("enabled")).toBool();
        ok(e);
    });
    server.control("POST", "/__sandbox/tokens", [s](Exchange &e) {
        const QJsonObject body = bodyObject(e);
        std::lock_guard lock(s->mutex);
        const Account *account = s->account(body.value(QStringLiteral("sub")).toString());
        if (!account)
            return e.apiError(404, QStringLiteral("No such account."), QStringLiteral("notFound"));
        const int lifetime = body.value(QStringLiteral("expiresIn")).toInt(s->tokenLifetime);
        const QString scope = body.value(QStringLiteral("scope")).toString(allScopes());
        e.json(200, mintTokens(*s, account->sub, scope, body.value(QStringLiteral("nonce")).toString(), true,
                               lifetime));
    });
    server.control("POST", "/__sandbox/revoke", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        revokeAccount(*s, bodyObject(e).value(QStringLiteral("sub")).toString());
        ok(e);
    });
    server.control("POST", "/__sandbox/expire", [s](Exchange &e) {
        const QString sub = bodyObject(e).value(QStringLiteral("sub")).toString();
        std::lock_guard lock(s->mutex);
        for (auto &grant : s->accessTokens)
            if (grant.sub == sub)
                grant.expiry = QDateTime::currentDateTimeUtc().addSecs(-1);
        ok(e);
    });
    server.control("GET", "/__sandbox/accounts", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        e.json(200, accountList(*s));
    });
    server.control("POST", "/__sandbox/consent", [s](Exchange &e) {
        const QJsonObject body = bodyObject(e);
        const QString outcome = body.value(QStringLiteral("outcome")).toString(QStringLiteral("grant"));
        if (!QStringList{"grant", "access_denied", "wrong_state", "wrong_issuer", "no_issuer"}.contains(
                outcome))
            return e.apiError(400, QStringLiteral("Unknown outcome."), QStringLiteral("invalid"));
        std::lock_guard lock(s->mutex);
        s->consentOutcome = outcome;
        s->consentSub = body.value(QStringLiteral("sub")).toString();
        ok(e);
    });
    server.control("POST", "/__sandbox/discovery-issuer", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        s->discoveryIssuer = bodyObject(e).value(QStringLiteral("issuer")).toString();
        ok(e);
    });
    server.control("GET", "/__sandbox/drafts", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        e.json(200, draftList(*s, e.param(QStringLiteral("sub"), s->accounts.first().sub)));
    });
    server.control("GET", "/__sandbox/uploads", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        e.json(200, uploadList(*s));
    });
    server.control("POST", "/__sandbox/upload-granularity", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        s->granularity = qMax<qint64>(0, bodyObject(e).value(QStringLiteral("bytes")).toInteger());
        ok(e);
    });
    server.control("POST", "/__sandbox/client-secret", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        s->requireSecret = bodyObject(e).value(QStringLiteral("required")).toBool(true);
        ok(e);
    });
    server.control("POST", "/__sandbox/short-pages", [s](Exchange &e) {
        const QJsonObject body = bodyObject(e);
        std::lock_guard lock(s->mutex);
        const Account *account = s->account(body.value(QStringLiteral("sub")).toString());
        if (!account)
            return e.apiError(404, QStringLiteral("No such account."), QStringLiteral("notFound"));
        if (body.value(QStringLiteral("on")).toBool(true))
            s->shortPages.insert(account->sub);
        else
            s->shortPages.remove(account->sub);
        ok(e);
    });
    server.control("POST", "/__sandbox/inline-body-limit", [s](Exchange &e) {
        std::lock_guard lock(s->mutex);
        s->inlineBodyLimit = qMax<qint64>(0, bodyObject(e).value(QStringLiteral("bytes")).toInteger(65536));
        ok(e);
    });
    server.control("POST", "/__sandbox/model", [s](Exchange &e) {
        const QJsonObject body = bodyObject(e);
        const QString shape = body.value(QStringLiteral("answerShape")).toString();
        if (body.contains(QStringLiteral("answerShape")) && !modelAnswerShapes().contains(shape))
            return e.apiError(400, QStringLiteral("Unknown answerShape."), QStringLiteral("invalid"));
        const QString brief = body.value(QStringLiteral("briefShape")).toString();
        if (body.contains(QStringLiteral("briefShape")) && !modelBriefShapes().contains(brief))
            return e.apiError(400, QStringLiteral("Unknown briefShape."), QStringLiteral("invalid"));
        std::lock_guard lock(s->mutex);
        if (!shape.isEmpty())
            s->modelAnswerShape = shape;
        if (!brief.isEmpty())
            s->modelBriefShape = brief;
        s->modelLoading = body.value(QStringLiteral("loading")).toBool();
        if (body.contains(QStringLiteral("models"))) {
            s->models.clear();
            for (const QJsonValue &name : body.value(QStringLiteral("models")).toArray())
                s->models.append(name.toString());
        }
        ok(e);
    });
}
