// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/AnswerParsing.h"

#include "rest/HTTPFetcher.h"
#include "rest/Resources.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace rest {

namespace {

bool isJSONType(const QByteArray &contentType)
{
    return contentType.trimmed().toLower().startsWith("application/json");
}

Error jsonParseError(const QJsonParseError &parseError)
{
    return Error::make(
        QStringLiteral("json"), int(parseError.error),
        QStringLiteral(
            "The data couldn\u2019t be read because it isn\u2019t in the correct format. (%1 at offset %2)")
            .arg(parseError.errorString())
            .arg(parseError.offset));
}

// The server's JSON error member, made a structured error; or the fetcher's
// error unchanged when there is none.
Error mapStatusError(const Answer &answer)
{
    if (!isJSONType(answer.contentType)) {
        return Error(StatusErrorDomain, answer.status,
                     QVariantMap{{Error::DescriptionKey, QString::fromUtf8(answer.data)},
                                 {StatusDataKey, answer.data}});
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(answer.data, &parseError);
    const QJsonArray array = doc.array();
    const QJsonValue root = doc.isArray() ? (array.isEmpty() ? QJsonValue() : array.first())
                                          : QJsonValue(doc.object());
    const QJsonValue member = root.toObject().value(QStringLiteral("error"));
    if (parseError.error != QJsonParseError::NoError || !member.isObject())
        return *answer.error;
    return RestObject::withJSON<ErrorObject>(member.toObject())->foundationError();
}

} // namespace

Parsed parseAnswer(const Answer &answer, const ObjectClass *expected, const ObjectClassResolver &resolver,
                   bool dataWrapperRequired)
{
    if (answer.error) {
        if (answer.error->domain() == StatusErrorDomain && answer.status >= 300 && !answer.data.isEmpty())
            return {nullptr, mapStatusError(answer)};
        return {nullptr, answer.error};
    }
    if (answer.data.isEmpty() || !isJSONType(answer.contentType))
        return {};
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(answer.data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {nullptr, jsonParseError(parseError)};
    if (!doc.isObject())
        return {}; // not an object: nothing to build
    QJsonValue json = doc.object();
    if (dataWrapperRequired)
        json = json.toObject().value(QStringLiteral("data"));
    return {resolver.objectForJSON(json, expected ? expected : ObjectClass::of<RestObject>()), {}};
}

} // namespace rest
