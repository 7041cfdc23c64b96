// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Error.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace rest {

// Domain and codes of transport failures, shaped like the platform URL errors
// the rest of the system expects.
inline const QString TransportErrorDomain = QStringLiteral("url");
enum TransportErrorCode {
    TransportUnknown = -1,
    TransportCancelled = -999,
    TransportTimedOut = -1001,
    TransportCannotFindHost = -1003,
    TransportCannotConnect = -1004,
    TransportConnectionLost = -1005,
    TransportBadServerResponse = -1011,
    TransportSecureConnectionFailed = -1200,
    TransportFileUnreadable = -3000,
};

using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

// Header names compare case-insensitively; setting a header replaces it.
struct HttpRequest
{
    QUrl url;
    QByteArray method = "GET";
    HeaderList headers;
    QByteArray body;  // sent when bodyFile is empty
    QString bodyFile; // when set, the body is streamed from this file
    // Longest silence allowed; the whole exchange also has a deadline of this
    // plus the time the body takes at a slow uplink (HttpsTransport::deadlineMs).
    double timeoutSeconds = 60;

    QByteArray header(const QByteArray &name) const;
    bool hasHeader(const QByteArray &name) const;
    void setHeader(const QByteArray &name, const QByteArray &value);
    void removeHeader(const QByteArray &name);
    bool hasBody() const { return !body.isEmpty() || !bodyFile.isEmpty(); }
};

struct HttpResponse
{
    int statusCode = 0;
    HeaderList headers;
    QUrl url;
    QByteArray header(const QByteArray &name) const;
};

// What a running task tells its owner, in this order: the response, each
// piece of body data, upload progress, then completion (error or none).
struct HttpTaskDelegate
{
    std::function<void(const HttpResponse &)> onResponse;
    std::function<void(const QByteArray &)> onData;
    std::function<void(qint64 sent, qint64 total)> onUploadProgress;
    std::function<void(std::optional<Error>)> onComplete;
};

// One exchange in flight. Cancelling completes it with TransportCancelled.
class HttpTask : public QObject
{
    Q_OBJECT
public:
    void cancel();
    bool isFinished() const { return m_finished; }

private:
    friend class HttpsTransport;
    HttpTask(QNetworkReply *reply, HttpTaskDelegate delegate, QObject *parent);
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void timeOut();
    // The whole exchange's limit; it ends with the task, so a finished
    // request leaves nothing behind to wake the process later.
    void armDeadline(qint64 ms);
    void complete(std::optional<Error> error);

    QPointer<QNetworkReply> m_reply;
    HttpTaskDelegate m_delegate;
    QTimer m_deadline;
    bool m_responseSent = false;
    bool m_cancelRequested = false;
    bool m_finished = false;
};

// The one HTTPS client under every exchange: TLS 1.2 or later, no cache, no
// cookies kept, connections kept alive and reused per host. Redirects are
// never followed: a 3xx is the answer, with its own status, headers and body,
// so credentials and secrets never travel on to a host (or a scheme) the
// caller did not choose. One transport per thread is shared by every session
// so that sequential requests to a host share a connection.
//
// It carries bytes and nothing more: it sends to the URL it is given and
// knows no tokens, retries or API errors. That is HTTPFetcher's work on top
// of it (authorization, the insecure-URL refusal, the per-host limit, the
// retry after a 401, status errors). The OAuth requests and the model
// exchange check their URLs themselves before they call it.
class HttpsTransport : public QObject
{
    Q_OBJECT
public:
    static HttpsTransport &shared();

    // A task reporting through the delegate; completion runs later on the
    // event loop, never inside this call.
    QPointer<HttpTask> start(const HttpRequest &request, HttpTaskDelegate delegate);

    using DataCompletion =
        std::function<void(const QByteArray &body, const HttpResponse &, std::optional<Error>)>;

    // Uploads are allowed this slow before their deadline passes.
    static constexpr qint64 SlowestUploadBytesPerSecond = 32 * 1024;
    // When the exchange ends with TransportTimedOut, however the server
    // trickles its answer: the silence timeout plus the body's time at the
    // slowest upload rate.
    static qint64 deadlineMs(const HttpRequest &request, qint64 bodyBytes);
    // Shortens every deadline to at most `ms` (0 lifts the limit), so tests
    // can see a slow answer time out without waiting a minute.
    static void limitDeadlinesForTests(qint64 ms);
    // One-shot exchange collecting the whole body.
    QPointer<HttpTask> dataTask(const HttpRequest &request, DataCompletion completion);

private:
    HttpsTransport();
    QNetworkAccessManager *m_manager;
};

Error transportError(int code, const QString &description);

} // namespace rest
