// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/Encoding.h"

#include <QList>
#include <QRandomGenerator>
#include <QUrl>

namespace oauth {

QString base64UrlNoPadding(const QByteArray &bytes)
{
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

std::optional<QByteArray> decodeBase64Url(const QString &text)
{
    QByteArray data = text.toLatin1();
    data.replace('-', '+').replace('_', '/');
    while (data.size() % 4 != 0)
        data.append('=');
    auto result = QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return *result;
}

std::optional<QString> randomBase64Url(int byteCount)
{
    if (byteCount <= 0)
        return std::nullopt;
    // The system generator reads the kernel's entropy source.
    QList<quint32> words((byteCount + 3) / 4);
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char *>(words.constData()), byteCount);
    return base64UrlNoPadding(bytes);
}

QString encodeQueryPart(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, "!$'()*,;:@/?"));
}

QString formEncode(const QString &text)
{
    QByteArray encoded = QUrl::toPercentEncoding(text, " *", "~");
    encoded.replace(' ', '+');
    return QString::fromLatin1(encoded);
}

} // namespace oauth
