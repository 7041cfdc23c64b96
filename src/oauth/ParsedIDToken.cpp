// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/ParsedIDToken.h"

#include "oauth/Encoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace oauth {

static std::optional<QJsonObject> decodePart(const QString &part)
{
    const auto bytes = decodeBase64Url(part);
    if (!bytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        // The payload itself is never logged: it is part of a credential.
        qWarning("Error %s parsing token payload", qPrintable(error.errorString()));
        return std::nullopt;
    }
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

static std::optional<QStringList> audienceOf(const QJsonValue &value)
{
    if (value.isString())
        return QStringList{value.toString()};
    if (!value.isArray())
        return std::nullopt;
    QStringList audience;
    for (const QJsonValue &entry : value.toArray()) {
        if (!entry.isString())
            return std::nullopt;
        audience.append(entry.toString());
    }
    return audience;
}

static std::optional<QDateTime> secondsSince1970(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double seconds = value.toDouble();
    if (!(seconds > -1e11 && seconds < 1e11))
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000), Qt::UTC);
}

std::optional<ParsedIDToken> ParsedIDToken::parse(const QString &idToken)
{
    const QStringList parts = idToken.split(u'.');
    if (parts.size() < 2)
        return std::nullopt;
    const auto header = decodePart(parts[0]);
    const auto claims = header ? decodePart(parts[1]) : std::nullopt;
    if (!claims)
        return std::nullopt;
    const QJsonValue iss = claims->value(QStringLiteral("iss"));
    const QJsonValue sub = claims->value(QStringLiteral("sub"));
    const auto audience = audienceOf(claims->value(QStringLiteral("aud")));
    const auto expiresAt = secondsSince1970(claims->value(QStringLiteral("exp")));
    const auto issuedAt = secondsSince1970(claims->value(QStringLiteral("iat")));
    const QUrl issuer(iss.toString(), QUrl::StrictMode);
    if (!iss.isString() || !issuer.isValid() || issuer.isEmpty() || !sub.isString() || !audience || !expiresAt
        || !issuedAt)
        return std::nullopt;
    ParsedIDToken token{*header,   *claims,    issuer,    sub.toString(),
                        *audience, *expiresAt, *issuedAt, std::nullopt};
    const QJsonValue nonce = claims->value(QStringLiteral("nonce"));
    if (nonce.isString())
        token.nonce = nonce.toString();
    return token;
}

} // namespace oauth
