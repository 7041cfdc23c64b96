// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/BatchFormat.h"

#include <QUuid>

namespace rest {

namespace {

const QByteArray CRLF = "\r\n";
constexpr qsizetype MaxBoundaryLength = 70;

bool isBoundaryChar(char c)
{
    static const QByteArray others = "'()+_,-./:=? ";
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || others.contains(c);
}

bool isValidBoundary(const QByteArray &boundary)
{
    if (boundary.isEmpty() || boundary.size() > MaxBoundaryLength || boundary.endsWith(' '))
        return false;
    return std::all_of(boundary.cbegin(), boundary.cend(), isBoundaryChar);
}

// A quoted-string from `at` (on the opening quote), unescaped; `at` ends past it.
std::optional<QByteArray> quotedString(const QByteArray &text, qsizetype &at)
{
    QByteArray value;
    for (++at; at < text.size(); ++at) {
        const char c = text.at(at);
        if (c == '"') {
            ++at;
            return value;
        }
        if (c == '\\' && ++at >= text.size())
            break;
        value.append(text.at(at));
    }
    return std::nullopt;
}

// "Name: value" lines apart by CRLF, folded lines joined; nothing when a
// line is no header.
std::optional<HeaderList> headerLines(const QByteArray &block)
{
    HeaderList headers;
    for (qsizetype at = 0; at < block.size();) {
        qsizetype end = block.indexOf(CRLF, at);
        if (end < 0)
            end = block.size();
        const QByteArray line = block.mid(at, end - at);
        at = end + 2;
        if (line.contains('\r') || line.contains('\n'))
            return std::nullopt;
        if ((line.startsWith(' ') || line.startsWith('\t')) && !headers.isEmpty()) {
            headers.last().second += ' ' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return std::nullopt;
        headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return headers;
}

QByteArray headerIn(const HeaderList &headers, const QByteArray &name)
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

// Splits "headers CRLF CRLF rest"; a block that starts with CRLF has no headers.
std::optional<std::pair<HeaderList, QByteArray>> headedBlock(const QByteArray &block)
{
    if (block.startsWith(CRLF))
        return std::pair{HeaderList(), block.mid(2)};
    const qsizetype end = block.indexOf("\r\n\r\n");
    if (end < 0)
        return std::nullopt;
    auto headers = headerLines(block.left(end));
    if (!headers)
        return std::nullopt;
    return std::pair{*headers, block.mid(end + 4)};
}

// The status of "HTTP/1.1 200 OK"; 0 when it is no status line.
int statusOf(const QByteArray &line)
{
    const QList<QByteArray> words = line.split(' ');
    if (words.size() < 2 || !words.first().startsWith("HTTP/") || words.at(1).size() != 3)
        return 0;
    bool ok = false;
    const int status = words.at(1).toInt(&ok);
    return ok && status >= 100 && status <= 599 ? status : 0;
}

QByteArray contentIDOf(QByteArray id)
{
    id = id.trimmed();
    if (id.startsWith('<') && id.endsWith('>'))
        id = id.mid(1, id.size() - 2);
    return id.startsWith("response-") ? id.mid(9) : id;
}

std::optional<BatchAnswerPart> answerPart(const QByteArray &part, QString *failure)
{
    auto fail = [failure](const char *reason) -> std::optional<BatchAnswerPart> {
        *failure = QString::fromLatin1(reason);
        return std::nullopt;
    };
    const auto outer = headedBlock(part);
    if (!outer)
        return fail("A part's headers are malformed.");
    BatchAnswerPart answer;
    answer.contentID = contentIDOf(headerIn(outer->first, "Content-ID"));
    if (answer.contentID.isEmpty())
        return fail("A part has no Content-ID.");
    if (!headerIn(outer->first, "Content-Type").trimmed().toLower().startsWith("application/http"))
        return fail("A part is not an HTTP answer.");
    const QByteArray &message = outer->second;
    const qsizetype lineEnd = message.indexOf(CRLF);
    answer.status = lineEnd < 0 ? 0 : statusOf(message.left(lineEnd));
    if (!answer.status)
        return fail("A part has no HTTP status line.");
    const auto inner = headedBlock(message.mid(lineEnd + 2));
    if (!inner)
        return fail("A part's HTTP headers are malformed.");
    answer.headers = inner->first;
    answer.body = inner->second;
    bool sized = false;
    const qsizetype length = headerIn(answer.headers, "Content-Length").toLongLong(&sized);
    if (sized && length >= 0 && length < answer.body.size())
        answer.body.truncate(length);
    return answer;
}

// Where the delimiter line "--boundary" at or after `from` begins: at the
// very start, or after a CRLF, and followed by "--", padding or CRLF.
qsizetype findDelimiter(const QByteArray &body, const QByteArray &delimiter, qsizetype from)
{
    for (qsizetype at = from; at >= 0 && at < body.size();) {
        at = body.indexOf(delimiter, at);
        if (at < 0)
            return -1;
        const bool lineStart = at == 0 || (at >= 2 && body.mid(at - 2, 2) == CRLF);
        const QByteArray next = body.mid(at + delimiter.size(), 2);
        if (lineStart && (next == "--" || next == CRLF || next.startsWith(' ') || next.startsWith('\t')))
            return at;
        at += delimiter.size();
    }
    return -1;
}

} // namespace

QByteArray BatchAnswerPart::header(const QByteArray &name) const
{
    return headerIn(headers, name);
}

QByteArray batchBoundary(const QList<BatchCall> &calls)
{
    for (;;) {
        const QByteArray boundary = "batch_" + QUuid::createUuid().toByteArray(QUuid::Id128);
        const bool used = std::any_of(calls.cbegin(), calls.cend(), [&](const BatchCall &call) {
            return call.body.contains(boundary) || call.target.contains(boundary);
        });
        if (!used)
            return boundary;
    }
}

QByteArray batchRequestBody(const QByteArray &boundary, const QList<BatchCall> &calls)
{
    QByteArray body;
    for (const BatchCall &call : calls) {
        body += "--" + boundary + CRLF;
        body += "Content-Type: application/http" + CRLF;
        body += "Content-ID: <" + call.contentID + '>' + CRLF + CRLF;
        body += call.method + ' ' + call.target + " HTTP/1.1" + CRLF;
        for (const auto &[name, value] : call.headers)
            body += name + ": " + value + CRLF;
        if (!call.body.isEmpty())
            body += "Content-Length: " + QByteArray::number(call.body.size()) + CRLF;
        body += CRLF + call.body + CRLF;
    }
    body += "--" + boundary + "--" + CRLF;
    return body;
}

std::optional<QByteArray> multipartBoundary(const QByteArray &contentType)
{
    const qsizetype semicolon = contentType.indexOf(';');
    if (!contentType.left(semicolon).trimmed().toLower().startsWith("multipart/"))
        return std::nullopt;
    for (qsizetype at = semicolon; at >= 0 && at < contentType.size();) {
        ++at; // past ';'
        const qsizetype equals = contentType.indexOf('=', at);
        if (equals < 0)
            return std::nullopt;
        const QByteArray name = contentType.mid(at, equals - at).trimmed().toLower();
        at = equals + 1;
        while (at < contentType.size() && contentType.at(at) == ' ')
            ++at;
        std::optional<QByteArray> value;
        if (at < contentType.size() && contentType.at(at) == '"') {
            value = quotedString(contentType, at);
            if (!value)
                return std::nullopt;
            at = contentType.indexOf(';', at);
        } else {
            const qsizetype end = contentType.indexOf(';', at);
            value = contentType.mid(at, end < 0 ? -1 : end - at).trimmed();
            at = end;
        }
        if (name == "boundary")
            return isValidBoundary(*value) ? value : std::nullopt;
    }
    return std::nullopt;
}

std::optional<QList<BatchAnswerPart>> parseBatchAnswer(const QByteArray &contentType, const QByteArray &body,
                                                       QString *failure)
{
    auto fail = [failure](const QString &reason) -> std::optional<QList<BatchAnswerPart>> {
        *failure = reason;
        return std::nullopt;
    };
    const std::optional<QByteArray> boundary = multipartBoundary(contentType);
    if (!boundary)
        return fail(QStringLiteral("The answer is not multipart with a boundary."));
    const QByteArray delimiter = "--" + *boundary;
    QList<BatchAnswerPart> parts;
    for (qsizetype at = findDelimiter(body, delimiter, 0); at >= 0;) {
        qsizetype start = at + delimiter.size();
        if (body.mid(start, 2) == "--")
            return parts;
        while (start < body.size() && (body.at(start) == ' ' || body.at(start) == '\t'))
            ++start;
        if (body.mid(start, 2) != CRLF)
            return fail(QStringLiteral("A boundary line is malformed."));
        start += 2;
        const qsizetype next = findDelimiter(body, delimiter, start);
        if (next < 0)
            break;
        if (next - 2 < start)
            return fail(QStringLiteral("A part is empty."));
        auto part = answerPart(body.mid(start, next - 2 - start), failure);
        if (!part)
            return std::nullopt;
        parts.append(*part);
        at = next;
    }
    return fail(QStringLiteral("The answer ends before its closing boundary."));
}

} // namespace rest
