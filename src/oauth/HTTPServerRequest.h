// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>

#include <optional>
#include <utility>

namespace oauth {

class HTTPConnection;

using HTTPHeaderList = QList<std::pair<QByteArray, QByteArray>>;

// A response as the loopback listener writes it: always HTTP/1.1.
struct HTTPServerResponse
{
    int statusCode = 200;
    HTTPHeaderList headers;
    QByteArray body;

    QByteArray serialized() const;
    static QByteArray reasonPhrase(int statusCode);
};

// One complete request received on a listener connection, and the answer
// given to it. Answering hands the response to the connection, which writes
// answers in the order the requests arrived.
class HTTPServerRequest
{
public:
    HTTPServerRequest() = default;
    HTTPServerRequest(QByteArray method, QByteArray target, QByteArray version, HTTPHeaderList headers,
                      QByteArray body);

    QByteArray method() const { return m_method; }
    QByteArray target() const { return m_target; }   // as sent, e.g. "/?code=..."
    QByteArray version() const { return m_version; } // e.g. "HTTP/1.1"
    const HTTPHeaderList &headers() const { return m_headers; }
    QByteArray header(const QByteArray &name) const; // first match, any case
    QByteArray body() const { return m_body; }

    HTTPConnection *connection() const { return m_connection; }
    void setConnection(HTTPConnection *connection) { m_connection = connection; }

    bool hasResponse() const { return m_response.has_value(); }
    const std::optional<HTTPServerResponse> &response() const { return m_response; }
    // Sets the response (once; later calls are ignored) and lets the
    // connection write it when its turn comes.
    void respond(HTTPServerResponse response);
    // HTTP/1.1 with Content-Length and the given body, no other headers.
    void respond(int statusCode, const QByteArray &body);

    // Whether the client asked to end the connection after this exchange.
    bool wantsClose() const;

private:
    QByteArray m_method;
    QByteArray m_target;
    QByteArray m_version;
    HTTPHeaderList m_headers;
    QByteArray m_body;
    QPointer<HTTPConnection> m_connection;
    std::optional<HTTPServerResponse> m_response;
};

// Incremental request parsing with bounds: a local process may send
// anything, so header and body sizes are capped.
namespace http {

inline constexpr qsizetype MaxHeaderBytes = 64 * 1024;
inline constexpr qsizetype MaxBodyBytes = 1024 * 1024;

struct ParseResult
{
    enum Kind {
        Incomplete,
        Complete,
        Invalid
    };
    Kind kind = Incomplete;
    HTTPServerRequest request; // when Complete
    int rejectStatus = 0;      // when Invalid: 400 or 413
};

struct RequestHead
{
    QByteArray method, target, version;
    HTTPHeaderList headers;
};

// Reads the requests of one connection from its bytes as they arrive. The
// head of the request being received is parsed once and kept until its body
// is complete, so a body sent in many small pieces costs no more than its
// bytes.
class RequestReader
{
public:
    void append(QByteArrayView bytes);
    // The next request when it is complete; Incomplete when more bytes are
    // needed. After Invalid the reader holds nothing.
    ParseResult take();
    void clear();
    const QByteArray &buffered() const { return m_buffer; }

private:
    ParseResult takeHead();
    ParseResult reject(int status);

    QByteArray m_buffer;
    qsizetype m_searched = 0; // bytes already searched for the end of the head
    std::optional<RequestHead> m_head;
    qsizetype m_headSize = 0;
    qint64 m_bodyLength = 0;
};

// Looks at the start of `buffer`; when a whole request is there, removes it
// from the buffer (leaving any bytes of the next request) and returns it.
ParseResult takeRequest(QByteArray &buffer);

} // namespace http

} // namespace oauth
