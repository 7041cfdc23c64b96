// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/IDToken.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {

std::optional<QString> stringClaim(const QJsonObject &payload, const QString &name)
{
    const QJsonValue value = payload.value(name);
    return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
}

} // namespace

std::optional<IDToken::Claims> IDToken::claims(const QString &token)
{
    const QStringList pieces = token.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (pieces.size() < 2)
        return std::nullopt;
    QString payload = pieces[1];
    payload.replace(QLatin1Char('-'), QLatin1Char('+')).replace(QLatin1Char('_'), QLatin1Char('/'));
    while (payload.size() % 4 != 0)
        payload += QLatin1Char('=');
    // Characters outside Latin-1 become "?", which strict decoding refuses.
    const auto decoded = QByteArray::fromBase64Encoding(payload.toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*decoded, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    return Claims{stringClaim(object, QStringLiteral("sub")), stringClaim(object, QStringLiteral("email")),
                  stringClaim(object, QStringLiteral("name"))};
}
