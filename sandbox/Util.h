// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// Small encoding helpers shared by the routes.
namespace util {

QByteArray base64Url(const QByteArray &bytes);                   // no padding
std::optional<QByteArray> fromBase64Url(const QByteArray &text); // padding optional
QString randomToken(int bytes);                                  // base64url of secure random bytes
QByteArray sha256(const QByteArray &bytes);

// application/x-www-form-urlencoded: "+" is a space, %XX decoded as UTF-8.
QList<QPair<QString, QString>> parseForm(const QByteArray &body);
QString formDecode(const QByteArray &text);
// Percent-encodes everything but unreserved characters (RFC 3986).
QString percentEncode(const QString &text);

QByteArray toJson(const QJsonValue &value);
// A JSON object, or nullopt when the text is not one.
std::optional<QJsonObject> parseObject(const QByteArray &text);

// RFC 3339 texts as the provider writes them.
QString rfc3339Utc(const QDateTime &time);    // 2025-06-03T07:00:00.000Z
QString rfc3339Offset(const QDateTime &time); // 2025-06-03T09:00:00+02:00
// Parses an RFC 3339 date-time that carries "Z" or an offset; nullopt otherwise.
std::optional<QDateTime> parseRfc3339(const QString &text);
// RFC 2822 date as mail headers carry it: "Tue, 3 Jun 2025 10:15:00 +0200".
QString rfc2822(const QDateTime &time);

} // namespace util
