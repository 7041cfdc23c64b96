// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/ReplyDraft.h"

#include "mail/MimeEncoding.h"

namespace gmail {
namespace {

// A header value taken from a received message must stay on its own line.
QString singleLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

void appendHeader(QByteArray &text, const QString &name, const QString &value, bool mailboxes = false)
{
    text += headerLine(name, singleLine(value), mailboxes);
}

} // namespace

QString replySubject(const QString &subject)
{
    if (subject.toLower().startsWith(QLatin1StringView("re:")))
        return subject;
    return QStringLiteral("Re: ") + subject;
}

QByteArray replyMessageText(const EmailMessage &replyingTo, const QString &messageID,
                            const QString &references, const QString &body)
{
    QByteArray text;
    appendHeader(text, QStringLiteral("To"), replyingTo.from, true);
    appendHeader(text, QStringLiteral("Subject"), replySubject(replyingTo.subject));
    if (!messageID.isEmpty()) {
        appendHeader(text, QStringLiteral("In-Reply-To"), messageID);
        appendHeader(text, QStringLiteral("References"),
                     references.isEmpty() ? messageID : references + u' ' + messageID);
    }
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=UTF-8\r\n";
    const QByteArray content = withCrLf(body).toUtf8();
    // 8bit allows lines of at most 998 octets; a longer paragraph goes as
    // quoted-printable, which breaks it softly and decodes to the same text.
    if (hasOverlongLine(content)) {
        text += "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
        return text + quotedPrintable(content);
    }
    text += "Content-Transfer-Encoding: 8bit\r\n\r\n";
    return text + content;
}

QString base64UrlNoPadding(const QByteArray &bytes)
{
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

} // namespace gmail
