// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/GmailMessage.h"

#include <QHash>
#include <QJsonArray>
#include <QMutex>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUuid>

#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>

#include <memory>

namespace gmail {
namespace {

// MIME trees deeper than this are not real mail; stop rather than recurse on.
constexpr int MaxPartDepth = 64;

// The one date formatter of the process, built on first use. ICU formatters
// are not safe for concurrent parsing, hence the lock.
struct Rfc2822Formatter
{
    std::unique_ptr<icu::SimpleDateFormat> format;
    QMutex lock;

    Rfc2822Formatter()
    {
        UErrorCode status = U_ZERO_ERROR;
        auto candidate = std::make_unique<icu::SimpleDateFormat>(
            icu::UnicodeString(u"EEE, d MMM yyyy HH:mm:ss Z"), icu::Locale("en_US_POSIX"), status);
        if (U_SUCCESS(status)) {
            candidate->setLenient(false);
            format = std::move(candidate);
        }
    }
};

Rfc2822Formatter &rfc2822()
{
    static Rfc2822Formatter formatter;
    return formatter;
}

// The zone names RFC 5322 keeps from earlier mail (section 4.3), as offsets.
std::optional<QString> obsoleteZoneOffset(const QString &name)
{
    static const QHash<QString, QString> named{
        {"UT", "+0000"},  {"GMT", "+0000"}, {"EST", "-0500"}, {"EDT", "-0400"}, {"CST", "-0600"},
        {"CDT", "-0500"}, {"MST", "-0700"}, {"MDT", "-0600"}, {"PST", "-0800"}, {"PDT", "-0700"},
    };
    const QString upper = name.toUpper();
    if (auto it = named.constFind(upper); it != named.cend())
        return *it;
    // Military letters (all but J) were used with the wrong sign so often
    // that they say nothing about the offset.
    if (upper.size() == 1 && upper.at(0) >= u'A' && upper.at(0) <= u'Z' && upper.at(0) != u'J')
        return QStringLiteral("+0000");
    return std::nullopt;
}

// Rewrites the obsolete forms still found in old or odd mailers into the
// modern ones: a two- or three-digit year and a named or military zone.
QString modernized(QString text)
{
    // The year is the number just before the time of day.
    static const QRegularExpression shortYear(QStringLiteral("(?<=\\s)(\\d{2,3})(?=\\s+\\d{1,2}:)"));
    if (const auto match = shortYear.match(text); match.hasMatch()) {
        const int year = match.captured(1).toInt();
        const int fullYear = (match.capturedLength(1) == 2 && year < 50) ? 2000 + year : 1900 + year;
        text.replace(match.capturedStart(1), match.capturedLength(1), QString::number(fullYear));
    }
    static const QRegularExpression namedZone(QStringLiteral("(?<=\\s)([A-Za-z]{1,3})$"));
    if (const auto match = namedZone.match(text); match.hasMatch()) {
        if (const auto offset = obsoleteZoneOffset(match.captured(1)))
            text.replace(match.capturedStart(1), match.capturedLength(1), *offset);
    }
    return text;
}

QString stringMember(const QJsonObject &object, QLatin1StringView key)
{
    return object.value(key).toString();
}

std::optional<QString> htmlText(const QString &html)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]+>"));
    QString text = html;
    return text.replace(tag, QStringLiteral(" "));
}

std::optional<QString> extractText(const QJsonObject &part, int depth)
{
    const QString mimeType = stringMember(part, QLatin1StringView("mimeType"));
    const QJsonValue data = part.value(QLatin1StringView("body")).toObject().value(QLatin1StringView("data"));
    if (mimeType == u"text/plain" && data.isString()) {
        if (auto text = decodeBodyData(data.toString()))
            return text;
    }
    if (depth < MaxPartDepth) {
        for (const QJsonValue &child : part.value(QLatin1StringView("parts")).toArray()) {
            if (!child.isObject())
                continue;
            if (auto text = extractText(child.toObject(), depth + 1))
                return text;
        }
    }
    if (mimeType == u"text/html" && data.isString()) {
        if (auto html = decodeBodyData(data.toString()))
            return htmlText(*html);
    }
    return std::nullopt;
}

// Empty: this part's text is readable (nothing to fetch); an id: the part
// came without data; none: not a candidate, look further.
std::optional<QString> attachmentCandidate(const QJsonObject &part, QLatin1StringView type)
{
    if (stringMember(part, QLatin1StringView("mimeType")) != type)
        return std::nullopt;
    const QJsonObject body = part.value(QLatin1StringView("body")).toObject();
    const QJsonValue data = body.value(QLatin1StringView("data"));
    if (data.isString())
        return decodeBodyData(data.toString()) ? std::optional<QString>(QString()) : std::nullopt;
    const QJsonValue id = body.value(QLatin1StringView("attachmentId"));
    if (id.isString() && !id.toString().isEmpty())
        return id.toString();
    return std::nullopt;
}

// Walks in extractText's order: plain text, the children, then HTML.
std::optional<QString> pendingTextAttachment(const QJsonObject &part, int depth)
{
    if (auto found = attachmentCandidate(part, QLatin1StringView("text/plain")))
        return found;
    if (depth < MaxPartDepth) {
        for (const QJsonValue &child : part.value(QLatin1StringView("parts")).toArray())
            if (auto found = pendingTextAttachment(child.toObject(), depth + 1))
                return found;
    }
    return attachmentCandidate(part, QLatin1StringView("text/html"));
}

QJsonObject withBodyData(QJsonObject part, const QString &attachmentId, const QString &data, int depth)
{
    QJsonObject body = part.value(QLatin1StringView("body")).toObject();
    if (body.value(QLatin1StringView("attachmentId")).toString() == attachmentId) {
        body.insert(QLatin1StringView("data"), data);
        part.insert(QLatin1StringView("body"), body);
    }
    if (depth < MaxPartDepth && part.value(QLatin1StringView("parts")).isArray()) {
        QJsonArray children;
        for (const QJsonValue &child : part.value(QLatin1StringView("parts")).toArray())
            children.append(child.isObject() ? withBodyData(child.toObject(), attachmentId, data, depth + 1)
                                             : child);
        part.insert(QLatin1StringView("parts"), children);
    }
    return part;
}

} // namespace

std::optional<QString> pendingTextAttachment(const QJsonObject &payload)
{
    const auto found = pendingTextAttachment(payload, 0);
    return found && !found->isEmpty() ? found : std::nullopt;
}

QJsonObject withBodyData(const QJsonObject &part, const QString &attachmentId, const QString &data)
{
    return withBodyData(part, attachmentId, data, 0);
}

QString headerValue(const QJsonObject &message, const QString &name)
{
    const QJsonArray headers =
        message.value(QLatin1StringView("payload")).toObject().value(QLatin1StringView("headers")).toArray();
    for (const QJsonValue &header : headers) {
        const QJsonObject fields = header.toObject();
        const QJsonValue headerName = fields.value(QLatin1StringView("name"));
        if (headerName.isString() && headerName.toString().compare(name, Qt::CaseInsensitive) == 0)
            return stringMember(fields, QLatin1StringView("value"));
    }
    return {};
}

Timestamp parseDate(const QString &value)
{
    static const QRegularExpression comment(QStringLiteral("\\s*\\([^)]*\\)\\s*$"));
    if (value.isEmpty())
        return std::nullopt;
    QString text = value;
    text.replace(comment, QString());
    text = modernized(text);

    Rfc2822Formatter &formatter = rfc2822();
    if (!formatter.format)
        return std::nullopt;
    const icu::UnicodeString input(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
    icu::ParsePosition position(0);
    UDate instant;
    {
        QMutexLocker locker(&formatter.lock);
        instant = formatter.format->parse(input, position);
    }
    // The whole text must be the date: trailing words mean another format.
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length())
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(instant), Qt::UTC);
}

QString decodeCharacterReferences(const QString &snippet)
{
    if (!snippet.contains(u'&'))
        return snippet;
    static const QRegularExpression reference(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|amp|lt|gt|quot|apos);"));
    QString plain;
    qsizetype done = 0;
    for (auto it = reference.globalMatch(snippet); it.hasNext();) {
        const auto match = it.next();
        const QString name = match.captured(1);
        char32_t code = 0;
        if (name.startsWith(u'#')) {
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            code = hex ? name.mid(2).toUInt(nullptr, 16) : name.mid(1).toUInt();
        } else {
            code = name == u"amp"    ? U'&'
                   : name == u"lt"   ? U'<'
                   : name == u"gt"   ? U'>'
                   : name == u"quot" ? U'"'
                                     : U'\'';
        }
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            continue; // not a character: left as written
        plain += QStringView(snippet).mid(done, match.capturedStart() - done);
        plain += QString::fromUcs4(&code, 1);
        done = match.capturedEnd();
    }
    plain += QStringView(snippet).mid(done);
    return plain;
}

EmailMessage emailMessageFromJson(const QJsonObject &message)
{
    EmailMessage mapped;
    const QJsonValue id = message.value(QLatin1StringView("id"));
    mapped.id = id.isString() ? id.toString() : QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    mapped.threadId = stringMember(message, QLatin1StringView("threadId"));
    mapped.from = headerValue(message, QStringLiteral("From"));
    mapped.subject = headerValue(message, QStringLiteral("Subject"));
    mapped.snippet = decodeCharacterReferences(stringMember(message, QLatin1StringView("snippet")));
    mapped.date = parseDate(headerValue(message, QStringLiteral("Date")));
    mapped.isUnread =
        message.value(QLatin1StringView("labelIds")).toArray().contains(QJsonValue(QStringLiteral("UNREAD")));
    return mapped;
}

std::optional<QString> decodeBodyData(const QString &data)
{
    for (QChar c : data) {
        if (c.unicode() > 0x7f)
            return std::nullopt; // base64 is plain ASCII
    }
    QByteArray base64 = data.toLatin1();
    base64.replace('-', '+').replace('_', '/');
    while (base64.size() % 4 != 0)
        base64.append('=');
    const auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(*decoded);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> extractText(const QJsonObject &part)
{
    return extractText(part, 0);
}

QString bodyTextOf(const QJsonObject &message)
{
    const QJsonValue payload = message.value(QLatin1StringView("payload"));
    if (payload.isObject()) {
        if (auto text = extractText(payload.toObject()))
            return *text;
    }
    return decodeCharacterReferences(stringMember(message, QLatin1StringView("snippet")));
}

} // namespace gmail
