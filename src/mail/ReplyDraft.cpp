#include "mail/ReplyDraft.h"

namespace gmail {
namespace {

// A header value taken from a received message must stay on its own line.
QString singleLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

void appendHeader(QString &text, QLatin1StringView name, const QString &value)
{
    text += name;
    text += QLatin1StringView(": ");
    text += singleLine(value);
    text += QLatin1StringView("\r\n");
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
    QString text;
    appendHeader(text, QLatin1StringView("To"), replyingTo.from);
    appendHeader(text, QLatin1StringView("Subject"), replySubject(replyingTo.subject));
    if (!messageID.isEmpty()) {
        appendHeader(text, QLatin1StringView("In-Reply-To"), messageID);
        appendHeader(text, QLatin1StringView("References"),
                     references.isEmpty() ? messageID : references + u' ' + messageID);
    }
    text += QLatin1StringView("MIME-Version: 1.0\r\n");
    text += QLatin1StringView("Content-Type: text/plain; charset=UTF-8\r\n");
    text += QLatin1StringView("\r\n");
    text += body;
    return text.toUtf8();
}

QString base64UrlNoPadding(const QByteArray &bytes)
{
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

} // namespace gmail
