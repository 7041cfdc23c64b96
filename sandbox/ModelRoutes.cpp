// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Routes.h"
#include "Util.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

void modelError(Exchange &exchange, int code, const QString &message, const QString &type)
{
    exchange.json(code, QJsonObject{{"error", QJsonObject{{"message", message},
                                                          {"type", type},
                                                          {"param", QJsonValue::Null},
                                                          {"code", QJsonValue::Null}}}});
}

// What the prompt says about the mail: sender, subject and body text.
struct Prompt
{
    QString sender, subject, body;
};

Prompt readPrompt(const QString &text)
{
    Prompt prompt;
    const QStringList lines = text.split(u'\n');
    int bodyStart = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (prompt.sender.isEmpty() && lines[i].startsWith(QStringLiteral("From: ")))
            prompt.sender = lines[i].mid(6).trimmed();
        else if (prompt.subject.isEmpty() && lines[i].startsWith(QStringLiteral("Subject: "))) {
            prompt.subject = lines[i].mid(9).trimmed();
            bodyStart = i + 1;
        }
    }
    if (bodyStart < 0)
        bodyStart = 0;
    prompt.body = lines.mid(bodyStart).join(u'\n').trimmed();
    return prompt;
}

QString displayName(const QString &sender)
{
    const int open = sender.indexOf(u'<');
    QString name = open > 0 ? sender.left(open).trimmed() : sender;
    name.remove(u'"');
    return name.isEmpty() ? QStringLiteral("The sender") : name;
}

QStringList sentences(const QString &body)
{
    static const QRegularExpression end(QStringLiteral(R"((?<=[.!?])\s+)"));
    QStringList list;
    for (const QString &piece : body.simplified().split(end, Qt::SkipEmptyParts))
        list.append(piece.trimmed());
    return list;
}

QJsonObject summaryOf(const Prompt &prompt)
{
    const QStringList said = sentences(prompt.body);
    QString summary = QStringLiteral("%1 writes about \"%2\".")
                          .arg(displayName(prompt.sender), prompt.subject.isEmpty()
                                                               ? QStringLiteral("an unnamed topic")
                                                               : prompt.subject);
    // The first sentence with some substance, skipping a greeting.
    for (const QString &sentence : said)
        if (sentence.split(u' ', Qt::SkipEmptyParts).size() > 3) {
            summary += u' ' + sentence.left(200);
            break;
        }
    static const QRegularExpression ask(
        QStringLiteral(R"(\?|\bplease\b|\bcould you\b|\bcan you\b|\bbitte\b)"),
        QRegularExpression::CaseInsensitiveOption);
    QString action = QStringLiteral("None");
    for (const QString &sentence : said)
        if (ask.match(sentence).hasMatch()) {
            action = QStringLiteral("Reply to %1: %2").arg(displayName(prompt.sender), sentence.left(200));
            break;
        }
    return QJsonObject{{"summary", summary}, {"actionItem", action}};
}

// The schema's property order: "summary", then "actionItem".
QString summaryText(const QJsonObject &summary)
{
    auto quoted = [](const QString &text) {
        const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        return QString::fromUtf8(array.mid(1, array.size() - 2));
    };
    return QStringLiteral("{\"summary\":%1,\"actionItem\":%2}")
        .arg(quoted(summary.value(QStringLiteral("summary")).toString()),
             quoted(summary.value(QStringLiteral("actionItem")).toString()));
}

QJsonValue placeholderFor(const QJsonObject &schema)
{
    const QString type = schema.value(QStringLiteral("type")).toString();
    if (type == u"object") {
        QJsonObject object;
        const QJsonObject properties = schema.value(QStringLiteral("properties")).toObject();
        for (auto it = properties.begin(); it != properties.end(); ++it)
            object.insert(it.key(), placeholderFor(it.value().toObject()));
        return object;
    }
    if (type == u"array")
        return QJsonArray();
    if (type == u"number" || type == u"integer")
        return 0;
    if (type == u"boolean")
        return false;
    return QStringLiteral("sandbox");
}

QString replyOf(const Prompt &prompt)
{
    const QString topic = prompt.subject.isEmpty() ? QString()
                                                   : QStringLiteral(" about \"%1\"").arg(prompt.subject);
    return QStringLiteral("\n\nThanks for your message%1. I'll look into it and get back to you "
                          "shortly.\n\nBest regards\n")
        .arg(topic);
}

std::optional<QString> lastUserText(const QJsonArray &messages)
{
    for (auto it = messages.end(); it != messages.begin();) {
        const QJsonObject message = (--it)->toObject();
        if (message.value(QStringLiteral("role")).toString() == u"user") {
            const QJsonValue content = message.value(QStringLiteral("content"));
            if (content.isString())
                return content.toString();
            QString text; // content parts: [{"type": "text", "text": ...}]
            for (const QJsonValue &part : content.toArray())
                text += part.toObject().value(QStringLiteral("text")).toString();
            return text;
        }
    }
    return std::nullopt;
}

// The reasoning a thinking model writes first; it holds an object of its
// own that a reader must not take for the answer.
const QString Reasoning = QStringLiteral("<think>\nThe user wants a summary. A first try: "
                                         "{\"summary\":\"(draft in reasoning)\",\"actionItem\":\"None\"}. "
                                         "Better to quote the ask.\n</think>\n\n");

// The "message" of a completion whose structured answer `json` is wrapped
// the way some local models wrap it.
QJsonObject shapedJsonMessage(const QString &json, const QString &shape)
{
    QJsonObject message{{"role", "assistant"}};
    if (shape == u"fenced")
        message.insert(QStringLiteral("content"),
                       QStringLiteral("```json\n") + json + QStringLiteral("\n```"));
    else if (shape == u"think")
        message.insert(QStringLiteral("content"), Reasoning + json);
    else if (shape == u"prose")
        message.insert(QStringLiteral("content"),
                       QStringLiteral("Here is the summary you asked for (in {JSON}):\n") + json
                           + QStringLiteral("\nLet me know if you need more."));
    else if (shape == u"null-content") {
        message.insert(QStringLiteral("content"), QJsonValue::Null);
        message.insert(QStringLiteral("reasoning_content"), QStringLiteral("The answer is ") + json);
    } else
        message.insert(QStringLiteral("content"), json);
    return message;
}

// A free-text answer: only a thinking model changes it, with its reasoning first.
QJsonObject shapedTextMessage(const QString &text, const QString &shape)
{
    return QJsonObject{{"role", "assistant"}, {"content", shape == u"think" ? Reasoning + text : text}};
}

void completions(State &state, Exchange &exchange)
{
    QStringList models;
    QString shape, briefShape;
    {
        std::lock_guard lock(state.mutex);
        if (state.modelLoading)
            return modelError(exchange, 503, QStringLiteral("Loading model"),
                              QStringLiteral("unavailable_error"));
        models = state.models;
        shape = state.modelAnswerShape;
        briefShape = state.modelBriefShape;
    }
    const auto request = util::parseObject(exchange.body());
    if (!request)
        return modelError(exchange, 400, QStringLiteral("invalid JSON body"),
                          QStringLiteral("invalid_request_error"));
    const QString model = request->value(QStringLiteral("model")).toString();
    if (model.isEmpty())
        return modelError(exchange, 400, QStringLiteral("model is required"),
                          QStringLiteral("invalid_request_error"));
    if (!models.contains(model))
        return modelError(exchange, 404,
                          QStringLiteral("model \"%1\" not found, try pulling it first").arg(model),
                          QStringLiteral("api_error"));
    const QJsonArray messages = request->value(QStringLiteral("messages")).toArray();
    const auto text = lastUserText(messages);
    if (messages.isEmpty() || !text)
        return modelError(exchange, 400, QStringLiteral("messages must include a user message"),
                          QStringLiteral("invalid_request_error"));
    if (request->value(QStringLiteral("stream")).toBool())
        return modelError(exchange, 400, QStringLiteral("streaming is not supported here"),
                          QStringLiteral("invalid_request_error"));

    const Prompt prompt = readPrompt(*text);
    const QJsonObject format = request->value(QStringLiteral("response_format")).toObject();
    const QString formatType = format.value(QStringLiteral("type")).toString(QStringLiteral("text"));
    QString content;
    const bool structured = formatType != u"text";
    if (formatType == u"json_schema") {
        const QJsonObject schema = format.value(QStringLiteral("json_schema")).toObject();
        const QString name = schema.value(QStringLiteral("name")).toString();
        if (name == u"EmailSummary")
            content = summaryText(summaryOf(prompt));
        else if (name == u"NeedsYou")
            content = briefAnswer(*text, briefShape);
        else if (name == u"MeetingNotes")
            content = meetingNotesAnswer(*text, briefShape);
        else
            content = QString::fromUtf8(
                QJsonDocument(placeholderFor(schema.value(QStringLiteral("schema")).toObject()).toObject())
                    .toJson(QJsonDocument::Compact));
    } else if (formatType == u"json_object") {
        content = summaryText(summaryOf(prompt));
    } else if (formatType == u"text") {
        content = replyOf(prompt);
    } else {
        return modelError(exchange, 400, QStringLiteral("unknown response_format type: ") + formatType,
                          QStringLiteral("invalid_request_error"));
    }
    const int promptTokens = int(QJsonDocument(messages).toJson().size() / 4);
    const int completionTokens = int(content.size() / 4) + 1;
    exchange.json(
        200, QJsonObject{{"id", QStringLiteral("chatcmpl-") + util::randomToken(12)},
                         {"object", "chat.completion"},
                         {"created", QDateTime::currentSecsSinceEpoch()},
                         {"model", model},
                         {"system_fingerprint", "fp_sandbox"},
                         {"choices",
                          QJsonArray{QJsonObject{{"index", 0},
                                                 {"message", structured ? shapedJsonMessage(content, shape)
                                                                        : shapedTextMessage(content, shape)},
                                                 {"finish_reason", "stop"}}}},
                         {"usage", QJsonObject{{"prompt_tokens", promptTokens},
                                               {"completion_tokens", completionTokens},
                                               {"total_tokens", promptTokens + completionTokens}}}});
}

void listModels(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    // A local server loading its model answers every endpoint with 503.
    if (state.modelLoading)
        return modelError(exchange, 503, QStringLiteral("Loading model"),
                          QStringLiteral("unavailable_error"));
    QJsonArray data;
    for (const QString &name : state.models)
        data.append(
            QJsonObject{{"id", name}, {"object", "model"}, {"created", 1727000000}, {"owned_by", "library"}});
    exchange.json(200, QJsonObject{{"object", "list"}, {"data", data}});
}

} // namespace

QStringList modelAnswerShapes()
{
    return {QStringLiteral("plain"), QStringLiteral("fenced"), QStringLiteral("think"),
            QStringLiteral("prose"), QStringLiteral("null-content")};
}

void addModelRoutes(Server &server, State &state)
{
    State *s = &state;
    server.route("GET", R"(/v1/models)", [s](Exchange &e) { listModels(*s, e); });
    server.route("POST", R"(/v1/chat/completions)", [s](Exchange &e) { completions(*s, e); });
}
