// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/ChatProtocol.h"

#include "ai/AIErrors.h"
#include "ai/AnswerText.h"
#include "ai/EmailSummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ai {

namespace {

QByteArray message(const char *role, const QString &content)
{
    return QByteArray("{\"role\":\"") + role + "\",\"content\":" + json::quoted(content) + "}";
}

// The error text an OpenAI-compatible server puts in its error body, if any.
QString serverErrorText(const QByteArray &body)
{
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    const QJsonValue error = object.value(QStringLiteral("error"));
    if (error.isString())
        return error.toString();
    return error.toObject().value(QStringLiteral("message")).toString();
}

// The first choice's message; throws when the reply is no completion.
QJsonObject firstMessage(const ModelReply &reply)
{
    if (reply.status != 200)
        throw httpStatusError(reply.status, serverErrorText(reply.body));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reply.body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        throw malformedAnswerError(QStringLiteral("not a JSON object"));
    const QJsonArray choices = document.object().value(QStringLiteral("choices")).toArray();
    if (choices.isEmpty())
        throw malformedAnswerError(QStringLiteral("no choices"));
    return choices.first().toObject().value(QStringLiteral("message")).toObject();
}

// "content" as a string or as a list of text parts.
std::optional<QString> contentText(const QJsonObject &message)
{
    const QJsonValue content = message.value(QStringLiteral("content"));
    if (content.isString())
        return content.toString();
    if (!content.isArray())
        return std::nullopt;
    QString text;
    for (const QJsonValue &part : content.toArray())
        text += part.toObject().value(QStringLiteral("text")).toString();
    return text;
}

bool namesModel(const QString &id, const QString &model)
{
    return id == model || id == model + QStringLiteral(":latest");
}

} // namespace

QByteArray summaryResponseFormat()
{
    return "{\"type\":\"json_schema\",\"json_schema\":{\"name\":" + json::quoted(EmailSummary::SchemaName)
           + ",\"strict\":true,\"schema\":" + EmailSummary::generationSchema() + "}}";
}

QByteArray chatRequestBody(const QString &model, const QString &instructions, const QString &prompt,
                           const QByteArray &responseFormat)
{
    QByteArray body = "{\"model\":" + json::quoted(model) + ",\"messages\":["
                      + message("system", instructions) + "," + message("user", prompt)
                      + "],\"stream\":false";
    if (!responseFormat.isEmpty())
        body += ",\"response_format\":" + responseFormat;
    return body + "}";
}

QString answerText(const ModelReply &reply)
{
    const auto content = contentText(firstMessage(reply));
    if (!content)
        throw malformedAnswerError(QStringLiteral("no message text"));
    return withoutReasoning(*content);
}

QJsonObject answerObject(const ModelReply &reply)
{
    const QJsonObject message = firstMessage(reply);
    if (const auto content = contentText(message)) {
        if (auto object = firstJsonObject(withoutReasoning(*content)))
            return *object;
    }
    for (const char *field : {"reasoning_content", "reasoning"}) {
        if (auto object = firstJsonObject(message.value(QLatin1StringView(field)).toString()))
            return *object;
    }
    throw malformedAnswerError(QStringLiteral("the summary is not a JSON object"));
}

ModelListVerdict findModel(const QByteArray &body, const QString &model)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    const QJsonValue data = document.object().value(QStringLiteral("data"));
    if (parseError.error != QJsonParseError::NoError || !data.isArray())
        return ModelListVerdict::Unreadable;
    for (const QJsonValue &entry : data.toArray()) {
        if (namesModel(entry.toObject().value(QStringLiteral("id")).toString(), model))
            return ModelListVerdict::Listed;
    }
    return ModelListVerdict::NotListed;
}

} // namespace ai
