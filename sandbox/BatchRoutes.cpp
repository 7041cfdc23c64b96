// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Gmail's batch endpoint as Google serves it: a multipart/mixed body of
// application/http requests, each answered through the ordinary routes with
// the outer request's credentials, all answers in one multipart/mixed.

#include "Routes.h"

#include <QRegularExpression>
#include <QUuid>

#include <variant>

namespace {

const char *const BatchPath = "/batch/gmail/v1";
const std::string CRLF = "\r\n";
constexpr size_t MaxCalls = 100;

struct Call
{
    std::string contentID; // as sent, angle brackets included
    httplib::Request request;
};

// "Name: value" lines up to the blank line at `at`; `at` ends past it.
bool readHeaders(const std::string &text, size_t &at, httplib::Headers &headers)
{
    for (;;) {
        const size_t end = text.find(CRLF, at);
        if (end == std::string::npos)
            return false;
        const std::string line = text.substr(at, end - at);
        at = end + 2;
        if (line.empty())
            return true;
        const size_t colon = line.find(':');
        if (colon == 0 || colon == std::string::npos || line.find('\n') != std::string::npos)
            return false;
        const size_t value = line.find_first_not_of(" \t", colon + 1);
        headers.emplace(line.substr(0, colon),
                        value == std::string::npos ? std::string() : line.substr(value));
    }
}

// One part: its headers, then "METHOD /path?query [HTTP/1.1]", headers and body.
std::optional<Call> readCall(const std::string &part, const httplib::Request &outer)
{
    size_t at = 0;
    httplib::Headers partHeaders;
    if (!readHeaders(part, at, partHeaders))
        return std::nullopt;
    const auto type = partHeaders.find("Content-Type");
    if (type == partHeaders.end()
        || QString::fromStdString(type->second).trimmed().toLower() != u"application/http")
        return std::nullopt;
    Call call;
    if (const auto id = partHeaders.find("Content-ID"); id != partHeaders.end())
        call.contentID = id->second;
    const size_t lineEnd = part.find(CRLF, at);
    if (lineEnd == std::string::npos)
        return std::nullopt;
    static const std::regex requestLine(R"(([A-Z]+) (/[^ ]*)( HTTP/1\.[01])?)");
    std::smatch words;
    const std::string line = part.substr(at, lineEnd - at);
    if (!std::regex_match(line, words, requestLine))
        return std::nullopt;
    at = lineEnd + 2;
    httplib::Request &request = call.request;
    if (!readHeaders(part, at, request.headers))
        return std::nullopt;
    request.method = words[1];
    request.target = words[2];
    const size_t question = request.target.find('?');
    request.path = httplib::detail::decode_url(request.target.substr(0, question), false);
    if (question != std::string::npos)
        httplib::detail::parse_query_text(request.target.substr(question + 1), request.params);
    request.body = part.substr(at);
    request.headers.erase("Authorization");
    if (outer.has_header("Authorization"))
        request.headers.emplace("Authorization", outer.get_header_value("Authorization"));
    request.remote_addr = outer.remote_addr;
    request.remote_port = outer.remote_port;
    request.local_addr = outer.local_addr;
    request.local_port = outer.local_port;
    return call;
}

// Where the line "--boundary" at or after `from` starts (at the start or after a CRLF).
size_t findDelimiter(const std::string &body, const std::string &delimiter, size_t from)
{
    for (size_t at = body.find(delimiter, from); at != std::string::npos; at = body.find(delimiter, at + 1))
        if (at == 0 || (at >= 2 && body.compare(at - 2, 2, CRLF) == 0))
            return at;
    return std::string::npos;
}

// The calls of a batch body, or an error text for the 400 answer.
std::variant<std::vector<Call>, QString> readCalls(const Exchange &exchange)
{
    static const QRegularExpression boundaryParameter(
        QStringLiteral(R"re(^multipart/mixed\s*;.*\bboundary=(?:"([^"]{1,70})"|([^;\s]{1,70})))re"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = boundaryParameter.match(exchange.header("Content-Type"));
    if (!match.hasMatch())
        return QStringLiteral("A batch request must be multipart/mixed with a boundary.");
    const QString boundary = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    const std::string delimiter = "--" + boundary.toStdString();
    const std::string body = exchange.body().toStdString();
    std::vector<Call> calls;
    size_t at = findDelimiter(body, delimiter, 0);
    while (at != std::string::npos) {
        at += delimiter.size();
        if (body.compare(at, 2, "--") == 0)
            return calls;
        if (body.compare(at, 2, CRLF) != 0)
            break;
        const size_t next = findDelimiter(body, delimiter, at + 2);
        if (next == std::string::npos || next < at + 4)
            break;
        auto call = readCall(body.substr(at + 2, next - 2 - (at + 2)), exchange.request());
        if (!call)
            return QStringLiteral("Each part of a batch must be one HTTP request (application/http).");
        if (call->request.path.rfind("/gmail/v1/", 0) != 0)
            return QStringLiteral("Each call of this batch must be to the Gmail API.");
        if (calls.size() == MaxCalls)
            return QStringLiteral("A batch request may contain at most %1 calls.").arg(MaxCalls);
        calls.push_back(std::move(*call));
        at = next;
    }
    return QStringLiteral("The batch body is not well-formed multipart/mixed.");
}

std::string reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return status < 400 ? "OK" : "Error";
    }
}

std::string answerPart(const Call &call, const httplib::Response &response)
{
    std::string part = "Content-Type: application/http" + CRLF;
    if (!call.contentID.empty()) {
        const bool bracketed = call.contentID.front() == '<' && call.contentID.back() == '>';
        const std::string id = bracketed ? call.contentID.substr(1, call.contentID.size() - 2)
                                         : call.contentID;
        part += "Content-ID: <response-" + id + '>' + CRLF;
    }
    part += CRLF + "HTTP/1.1 " + std::to_string(response.status) + ' ' + reasonPhrase(response.status) + CRLF;
    for (const auto &[name, value] : response.headers)
        if (QString::fromStdString(name).compare(u"Content-Length", Qt::CaseInsensitive) != 0)
            part += name + ": " + value + CRLF;
    part += "Content-Length: " + std::to_string(response.body.size()) + CRLF + CRLF + response.body;
    return part;
}

void serveBatch(Server &server, Exchange &exchange)
{
    auto read = readCalls(exchange);
    if (const QString *failure = std::get_if<QString>(&read)) {
        exchange.apiError(400, *failure, QStringLiteral("badRequest"));
        return;
    }
    const std::string boundary = "batch_" + QUuid::createUuid().toString(QUuid::Id128).toStdString();
    std::string body;
    for (const Call &call : std::get<std::vector<Call>>(read)) {
        httplib::Response response;
        server.serveInner(call.request, response, QString::fromLatin1(BatchPath));
        body += "--" + boundary + CRLF + answerPart(call, response) + CRLF;
    }
    body += "--" + boundary + "--" + CRLF;
    exchange.send(200, QByteArray::fromStdString(body), ("multipart/mixed; boundary=" + boundary).c_str());
}

} // namespace

void addBatchRoutes(Server &server)
{
    server.route("POST", BatchPath, [&server](Exchange &exchange) { serveBatch(server, exchange); });
}
