// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Mime.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace mime {
namespace {

QByteArray decodeQ(QByteArray text, bool underscoreIsSpace)
{
    if (underscoreIsSpace)
        text.replace('_', ' ');
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size()) {
            bool ok = false;
            const int byte = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QString decodeCharset(const QByteArray &bytes, const QByteArray &charset)
{
    // "UTF-8*en" carries an RFC 2231 language after the star.
    QStringDecoder decoder(charset.split('*').first().constData());
    if (!decoder.isValid())
        return QString::fromUtf8(bytes);
    return decoder.decode(bytes);
}

QByteArray decodeQuotedPrintable(const QByteArray &body)
{
    QByteArray joined = body;
    joined.replace("=\r\n", "").replace("=\n", "");
    return decodeQ(joined, false);
}

bool has8Bit(const QByteArray &bytes)
{
    return std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) > 127; });
}

} // namespace

QString decodeHeaderValue(const QByteArray &value)
{
    static const QRegularExpression word(QStringLiteral("=\\?([^?\\s]+)\\?([BbQq])\\?([^?\\s]*)\\?="));
    const QString text = QString::fromUtf8(value);
    QString out;
    qsizetype at = 0;
    bool lastWasWord = false;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const QString between = text.mid(at, match.capturedStart() - at);
        if (!(lastWasWord && between.trimmed().isEmpty()))
            out += between;
        const QByteArray encoded = match.captured(3).toLatin1();
        const QByteArray bytes = match.captured(2).toUpper() == u"B" ? QByteArray::fromBase64(encoded)
                                                                     : decodeQ(encoded, true);
        out += decodeCharset(bytes, match.captured(1).toLatin1());
        at = match.capturedEnd();
        lastWasWord = true;
    }
    return out + text.mid(at);
}

QByteArray decodeBody(const QByteArray &body, const QString &transferEncoding)
{
    const QString encoding = transferEncoding.trimmed().toLower();
    if (encoding == u"base64")
        return QByteArray::fromBase64(body);
    if (encoding == u"quoted-printable")
        return decodeQuotedPrintable(body);
    return body;
}

QStringList problems(const QByteArray &raw)
{
    QStringList found;
    const qsizetype split = raw.indexOf("\r\n\r\n");
    const QByteArray head = split < 0 ? raw : raw.left(split);
    const QByteArray body = split < 0 ? QByteArray() : raw.mid(split + 4);
    if (has8Bit(head))
        found += QStringLiteral("8-bit bytes in the header");
    static const QRegularExpression bareBreak(QStringLiteral("\\r(?!\\n)|(?<!\\r)\\n"));
    if (bareBreak.match(QString::fromLatin1(raw)).hasMatch())
        found += QStringLiteral("bare CR or LF");
    for (const QByteArray &line : raw.split('\n')) {
        if (line.size() - (line.endsWith('\r') ? 1 : 0) > 998) {
            found += QStringLiteral("line longer than 998 octets");
            break;
        }
    }
    static const QRegularExpression encodingLine(
        QStringLiteral("(?:^|\\r\\n)Content-Transfer-Encoding:\\s*(\\S+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString declared = encodingLine.match(QString::fromLatin1(head)).captured(1).toLower();
    if (has8Bit(body) && (declared.isEmpty() || declared == u"7bit"))
        found += QStringLiteral("8-bit body without a transfer encoding for it");
    return found;
}

} // namespace mime
