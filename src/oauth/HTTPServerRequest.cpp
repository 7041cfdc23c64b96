// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/HTTPServerRequest.h"

#include "oauth/HTTPConnection.h"

namespace oauth {

QByteArray HTTPServerResponse::reasonPhrase(int statusCode)
{
    switch (statusCode) {
    case 200: return "OK";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 413: return "Payload Too Large";
    case 500: return "Internal Server Error";
    case 505: return "HTTP Version Not Supported";
    default: return "Unknown";
    }
}

QByteArray HTTPServerResponse::serialized() const
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(statusCode) + ' ' + reasonPhrase(statusCode) + "\r\n";
    for (const auto &[name, value] : headers)
        out += name + ": " + value + "\r\n";
    out += "\r\n";
    out += body;
    return out;
}

HTTPServerRequest::HTTPServerRequest(QByteArray method, QByteArray target, QByteArray version,
                                     HTTPHeaderList headers, QByteArray body)
    : m_method(std::move(method)), m_target(std::move(target)), m_version(std::move(version)),
      m_headers(std::move(headers)), m_body(std::move(body))
{}

QByteArray HTTPServerRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : m_headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void HTTPServerRequest::respond(HTTPServerResponse response)
{
    if (m_response)
        return;
    m_response = std::move(response);
    if (m_connection)
        m_connection->processOutgoingBytes();
}

void HTTPServerRequest::respond(int statusCode, const QByteArray &body)
{
    HTTPServerResponse response;
    response.statusCode = statusCode;
    response.headers.append({"Content-Length", QByteArray::number(qulonglong(body.size()))});
    response.body = body;
    respond(std::move(response));
}

bool HTTPServerRequest::wantsClose() const
{
    const QByteArray connection = header("Connection").toLower();
    if (connection.contains("close"))
        return true;
    return m_version == "HTTP/1.0" && !connection.contains("keep-alive");
}

namespace http {
namespace {

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

bool hasControlChars(QByteArrayView text)
{
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f)
            return true;
    }
    return false;
}

bool isVersion(const QByteArray &v)
{
    return v.size() == 8 && v.startsWith("HTTP/") && std::isdigit(static_cast<unsigned char>(v[5]))
           && v[6] == '.' && std::isdigit(static_cast<unsigned char>(v[7]));
}

// `block` is the head without its final CRLF.
std::optional<RequestHead> parseHead(QByteArrayView block)
{
    const QList<QByteArray> lines = block.toByteArray().split('\n');
    RequestHead head;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (i + 1 < lines.size()) {
            if (!line.endsWith('\r'))
                return std::nullopt; // header lines end in CRLF
            line.chop(1);
        }
        if (i == 0) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() || hasControlChars(parts[1])
                || !isVersion(parts[2]))
                return std::nullopt;
            head.method = parts[0];
            head.target = parts[1];
            head.version = parts[2];
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(QByteArrayView(line).first(colon)))
            return std::nullopt;
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (hasControlChars(value))
            return std::nullopt;
        head.headers.append({line.left(colon), value});
    }
    return head;
}

// Content-Length of the head: 0 when absent, -1 when unusable. Repeated
// fields must agree; a body framed any other way is not accepted.
qint64 contentLength(const HTTPHeaderList &headers)
{
    std::optional<QByteArray> length;
    for (const auto &[name, value] : headers) {
        if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0)
            return -1;
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        if (length && *length != value)
            return -1;
        length = value;
    }
    if (!length)
        return 0;
    if (length->isEmpty() || length->size() > 18)
        return -1;
    for (char c : *length) {
        if (c < '0' || c > '9')
            return -1;
    }
    return length->toLongLong();
}

} // namespace

void RequestReader::append(QByteArrayView bytes)
{
    m_buffer.append(bytes);
}

void RequestReader::clear()
{
    m_buffer.clear();
    m_searched = 0;
    m_head.reset();
}

ParseResult RequestReader::reject(int status)
{
    clear();
    ParseResult result;
    result.kind = ParseResult::Invalid;
    result.rejectStatus = status;
    return result;
}

// Finds and parses the head, searching only bytes not searched before.
ParseResult RequestReader::takeHead()
{
    // Blank lines before a request line are ignored (clients may send a
    // stray CRLF after a body).
    qsizetype blank = 0;
    while (QByteArrayView(m_buffer).sliced(blank).startsWith("\r\n"))
        blank += 2;
    if (blank > 0) {
        m_buffer.remove(0, blank);
        m_searched = 0;
    }
    const qsizetype end = m_buffer.indexOf("\r\n\r\n", std::max<qsizetype>(0, m_searched - 3));
    if (end < 0) {
        m_searched = m_buffer.size();
        return m_buffer.size() > MaxHeaderBytes ? reject(400) : ParseResult{};
    }
    const qsizetype headSize = end + 4;
    if (headSize > MaxHeaderBytes)
        return reject(400);
    std::optional<RequestHead> head = parseHead(QByteArrayView(m_buffer).first(end));
    if (!head)
        return reject(400);
    const qint64 length = contentLength(head->headers);
    if (length < 0)
        return reject(400);
    if (length > MaxBodyBytes)
        return reject(413);
    m_head = std::move(head);
    m_headSize = headSize;
    m_bodyLength = length;
    return {};
}

ParseResult RequestReader::take()
{
    if (!m_head) {
        ParseResult headResult = takeHead();
        if (!m_head)
            return headResult;
    }
    if (m_buffer.size() - m_headSize < m_bodyLength)
        return {};
    ParseResult result;
    result.kind = ParseResult::Complete;
    result.request = HTTPServerRequest(m_head->method, m_head->target, m_head->version, m_head->headers,
                                       m_buffer.mid(m_headSize, m_bodyLength));
    m_buffer.remove(0, m_headSize + m_bodyLength);
    m_searched = 0;
    m_head.reset();
    return result;
}

ParseResult takeRequest(QByteArray &buffer)
{
    RequestReader reader;
    reader.append(buffer);
    ParseResult result = reader.take();
    if (result.kind != ParseResult::Invalid)
        buffer = reader.buffered();
    return result;
}

} // namespace http
} // namespace oauth
