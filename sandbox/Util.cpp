// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Util.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimeZone>

namespace util {

QByteArray base64Url(const QByteArray &bytes)
{
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

std::optional<QByteArray> fromBase64Url(const QByteArray &text)
{
    auto result = QByteArray::fromBase64Encoding(text, QByteArray::Base64UrlEncoding
                                                           | QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return result.decoded;
}

QString randomToken(int bytes)
{
    QByteArray raw(bytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(raw.data()), bytes / 4);
    return QString::fromLatin1(base64Url(raw));
}

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QString formDecode(const QByteArray &text)
{
    QByteArray plus = text;
    plus.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(plus));
}

QList<QPair<QString, QString>> parseForm(const QByteArray &body)
{
    QList<QPair<QString, QString>> pairs;
    for (const QByteArray &piece : body.split('&')) {
        if (piece.isEmpty())
            continue;
        const int eq = piece.indexOf('=');
        if (eq < 0)
            pairs.append({formDecode(piece), QString()});
        else
            pairs.append({formDecode(piece.left(eq)), formDecode(piece.mid(eq + 1))});
    }
    return pairs;
}

QString percentEncode(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

QByteArray toJson(const QJsonValue &value)
{
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented);
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
}

std::optional<QJsonObject> parseObject(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

QString rfc3339Utc(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString rfc3339Offset(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

std::optional<QDateTime> parseRfc3339(const QString &text)
{
    static const QRegularExpression shape(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2}[Tt]\d{2}:\d{2}:\d{2}(\.\d+)?([Zz]|[+-]\d{2}:\d{2})$)"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    QString normal = text.toUpper();
    // Qt reads at most milliseconds; cut longer fractions.
    static const QRegularExpression longFraction(QStringLiteral(R"((\.\d{3})\d+)"));
    normal.replace(longFraction, QStringLiteral("\\1"));
    const QDateTime parsed = QDateTime::fromString(normal, Qt::ISODateWithMs);
    if (!parsed.isValid())
        return std::nullopt;
    return parsed;
}

QString rfc2822(const QDateTime &time)
{
    const QLocale c = QLocale::c();
    const int offset = time.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(QChar(offset < 0 ? u'-' : u'+'))
                             .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                             .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
    return c.toString(time, QStringLiteral("ddd, d MMM yyyy HH:mm:ss ")) + zone;
}

} // namespace util
