// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/EmailSummary.h"

#include "ai/AIErrors.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

const QString EmailSummary::SummaryDescription = QStringLiteral(
    "A factual 2-3 sentence summary of what this email is about. No greetings, no preamble.");
const QString EmailSummary::ActionItemDescription = QStringLiteral(
    "The single concrete action the recipient is being asked to take. "
    "Exactly 'None' if there is no ask.");

namespace ai::json {

QByteArray quoted(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2); // drop the surrounding [ ]
}

} // namespace ai::json

namespace {

QByteArray stringProperty(const QString &description)
{
    return "{\"type\":\"string\",\"description\":" + ai::json::quoted(description) + "}";
}

QString requiredString(const QJsonObject &content, const QString &name)
{
    const QJsonValue value = content.value(name);
    if (!value.isString())
        throw ai::missingPropertyError(name);
    return value.toString();
}

} // namespace

bool EmailSummary::hasActionItem() const
{
    const QString item = actionItem.trimmed();
    return !item.isEmpty() && item.compare(QStringLiteral("None"), Qt::CaseInsensitive) != 0;
}

QByteArray EmailSummary::generationSchema()
{
    return "{\"type\":\"object\",\"title\":" + ai::json::quoted(SchemaName) + ",\"properties\":{\"summary\":"
           + stringProperty(SummaryDescription) + ",\"actionItem\":" + stringProperty(ActionItemDescription)
           + "},\"required\":[\"summary\",\"actionItem\"],\"additionalProperties\":false}";
}

EmailSummary EmailSummary::fromGeneratedContent(const QJsonObject &content)
{
    EmailSummary result;
    result.summary = requiredString(content, QStringLiteral("summary"));
    result.actionItem = requiredString(content, QStringLiteral("actionItem"));
    return result;
}

QByteArray EmailSummary::toGeneratedContent() const
{
    return "{\"summary\":" + ai::json::quoted(summary) + ",\"actionItem\":" + ai::json::quoted(actionItem)
           + "}";
}

size_t qHash(const EmailSummary &value, size_t seed)
{
    return qHashMulti(seed, value.summary, value.actionItem);
}
