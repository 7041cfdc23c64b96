// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/HttpsTransport.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QTimer>

#include <climits>

namespace rest {

namespace {

qint64 deadlineLimitMs = 0;

bool methodCarriesBody(const QByteArray &method)
{
    return method == "POST" || method == "PUT" || method == "PATCH";
}

// Keeps no cookies: every session is ephemeral.
class NoCookieJar : public QNetworkCookieJar
{
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    bool setCookiesFromUrl(const QList<QNetworkCookie> &, const QUrl &) override { return false; }
    QList<QNetworkCookie> cookiesForUrl(const QUrl &) const override { return {}; }
};

int indexOfHeader(const HeaderList &headers, const QByteArray &name)
{
    for (int i = 0; i < headers.size(); ++i)
        if (headers[i].first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int transportCode(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::OperationCanceledError: return TransportCancelled;
    case QNetworkReply::TimeoutError: return TransportTimedOut;
    case QNetworkReply::HostNotFoundError: return TransportCannotFindHost;
    case QNetworkReply::ConnectionRefusedError: return TransportCannotConnect;
    case QNetworkReply::RemoteHostClosedError: return TransportConnectionLost;
    case QNetworkReply::SslHandshakeFailedError: return TransportSecureConnectionFailed;
    case QNetworkReply::ProtocolFailure: return TransportBadServerResponse;
    default: return TransportUnknown;
    }
}

// Errors that merely restate the HTTP status; the status itself is the answer.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    return (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
           || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError)
           || error == QNetworkReply::ProtocolInvalidOperationError;
}

} // namespace

QByteArray HttpRequest::header(const QByteArray &name) const
{
    const int i = indexOfHeader(headers, name);
    return i < 0 ? QByteArray() : headers[i].second;
}

bool HttpRequest::hasHeader(const QByteArray &name) const
{
    return indexOfHeader(headers, name) >= 0;
}

void HttpRequest::setHeader(const QByteArray &name, const QByteArray &value)
{
    const int i = indexOfHeader(headers, name);
    if (i < 0)
        headers.append({name, value});
    else
        headers[i].second = value;
}

void HttpRequest::removeHeader(const QByteArray &name)
{
    const int i = indexOfHeader(headers, name);
    if (i >= 0)
        headers.removeAt(i);
}

QByteArray HttpResponse::header(const QByteArray &name) const
{
    const int i = indexOfHeader(headers, name);
    return i < 0 ? QByteArray() : headers[i].second;
}

Error transportError(int code, const QString &description)
{
    return Error::make(TransportErrorDomain, code, description);
}

HttpTask::HttpTask(QNetworkReply *reply, HttpTaskDelegate delegate, QObject *parent)
    : QObject(parent), m_reply(reply), m_delegate(std::move(delegate))
{
    if (!reply)
        return;
    reply->setParent(this);
    connect(reply, &QNetworkReply::metaDataChanged, this, &HttpTask::onMetaData);
    connect(reply, &QNetworkReply::readyRead, this, &HttpTask::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &HttpTask::onFinished);
    connect(reply, &QNetworkReply::uploadProgress, this, [this](qint64 sent, qint64 total) {
        if (m_delegate.onUploadProgress && !m_finished)
            m_delegate.onUploadProgress(sent, total);
    });
}

void HttpTask::cancel()
{
    if (m_finished)
        return;
    m_cancelRequested = true;
    if (m_reply && m_reply->isRunning()) {
        m_reply->abort(); // finished() follows with OperationCanceledError
        return;
    }
    QTimer::singleShot(0, this,
                       [this] { complete(transportError(TransportCancelled, QStringLiteral("cancelled"))); });
}

void HttpTask::timeOut()
{
    // The reply ends as aborted without our cancel(), which reads as timed out.
    if (!m_finished && m_reply && m_reply->isRunning())
        m_reply->abort();
}

void HttpTask::armDeadline(qint64 ms)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &HttpTask::timeOut);
    m_deadline.start(std::chrono::milliseconds(ms));
}

void HttpTask::onMetaData()
{
    if (m_responseSent || !m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    m_responseSent = true;
    HttpResponse response;
    response.statusCode = status.toInt();
    response.url = m_reply->url();
    for (const auto &pair : m_reply->rawHeaderPairs())
        response.headers.append(pair);
    if (m_delegate.onResponse)
        m_delegate.onResponse(response);
}

void HttpTask::onReadyRead()
{
    if (!m_reply || m_finished)
        return;
    onMetaData();
    if (!m_reply->isOpen()) // aborted
        return;
    const QByteArray chunk = m_reply->readAll();
    if (!chunk.isEmpty() && m_delegate.onData)
        m_delegate.onData(chunk);
}

void HttpTask::onFinished()
{
    if (!m_reply || m_finished)
        return;
    onReadyRead();
    const auto error = m_reply->error();
    const bool answered = m_responseSent;
    if (error == QNetworkReply::NoError || (answered && isHttpStatusError(error)))
        complete(std::nullopt);
    else if (error == QNetworkReply::OperationCanceledError && !m_cancelRequested)
        // Only our own cancel() is a cancellation; the transfer timeout and
        // the deadline also abort the reply.
        complete(transportError(TransportTimedOut, QStringLiteral("The request timed out.")));
    else
        complete(transportError(transportCode(error), m_reply->errorString()));
}

void HttpTask::complete(std::optional<Error> error)
{
    if (m_finished)
        return;
    m_finished = true;
    m_deadline.stop();
    auto onComplete = std::move(m_delegate.onComplete);
    m_delegate = {};
    if (onComplete)
        onComplete(error);
    if (m_reply)
        m_reply->deleteLater();
    deleteLater();
}

HttpsTransport::HttpsTransport() : m_manager(new QNetworkAccessManager(this))
{
    m_manager->setCookieJar(new NoCookieJar(m_manager));
    m_manager->setCache(nullptr);
    m_manager->setAutoDeleteReplies(false);
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

HttpsTransport &HttpsTransport::shared()
{
    // One transport per thread: a QNetworkAccessManager serves only its own.
    static thread_local HttpsTransport *transport = new HttpsTransport();
    return *transport;
}

qint64 HttpsTransport::deadlineMs(const HttpRequest &request, qint64 bodyBytes)
{
    const qint64 ms = qint64(request.timeoutSeconds * 1000) + bodyBytes * 1000 / SlowestUploadBytesPerSecond;
    return deadlineLimitMs > 0 ? std::min(ms, deadlineLimitMs) : ms;
}

void HttpsTransport::limitDeadlinesForTests(qint64 ms)
{
    deadlineLimitMs = ms;
}

QPointer<HttpTask> HttpsTransport::start(const HttpRequest &request, HttpTaskDelegate delegate)
{
    QNetworkRequest qrequest(request.url);
    for (const auto &[name, value] : request.headers)
        qrequest.setRawHeader(name, value);
    qrequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    qrequest.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    qrequest.setTransferTimeout(int(std::min<qint64>(deadlineMs(request, 0), INT_MAX)));
    // Qt follows redirects by default and keeps every header on the way.
    qrequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    qrequest.setSslConfiguration(tls);

    QNetworkReply *reply = nullptr;
    std::optional<Error> failure;
    qint64 bodyBytes = request.body.size();
    if (!request.bodyFile.isEmpty()) {
        auto *file = new QFile(request.bodyFile);
        if (!file->open(QIODevice::ReadOnly)) {
            failure = transportError(TransportFileUnreadable, file->errorString());
            delete file;
        } else {
            bodyBytes = file->size();
            qrequest.setHeader(QNetworkRequest::ContentLengthHeader, file->size());
            reply = m_manager->sendCustomRequest(qrequest, request.method, file);
            file->setParent(reply);
        }
    } else if (request.hasBody() || methodCarriesBody(request.method)) {
        // An empty body still goes out with "Content-Length: 0": without it a
        // server may wait for a body that never comes.
        reply = m_manager->sendCustomRequest(qrequest, request.method, request.body);
    } else {
        reply = m_manager->sendCustomRequest(qrequest, request.method);
    }

    auto *task = new HttpTask(reply, std::move(delegate), this);
    if (failure)
        QTimer::singleShot(0, task, [task, failure] { task->complete(failure); });
    else
        task->armDeadline(deadlineMs(request, bodyBytes));
    return task;
}

QPointer<HttpTask> HttpsTransport::dataTask(const HttpRequest &request, DataCompletion completion)
{
    struct Collected
    {
        HttpResponse response;
        QByteArray body;
    };
    auto collected = std::make_shared<Collected>();
    HttpTaskDelegate delegate;
    delegate.onResponse = [collected](const HttpResponse &r) { collected->response = r; };
    delegate.onData = [collected](const QByteArray &d) { collected->body += d; };
    delegate.onComplete = [collected, completion = std::move(completion)](std::optional<Error> e) {
        completion(collected->body, collected->response, e);
    };
    return start(request, std::move(delegate));
}

} // namespace rest
