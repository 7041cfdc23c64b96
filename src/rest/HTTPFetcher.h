// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/Authorizer.h"
#include "rest/HttpsTransport.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>

namespace rest {

inline const QString FetcherErrorDomain = QStringLiteral("http.fetcher");
inline const QString StatusErrorDomain = QStringLiteral("http.status");
inline const QString FileErrorDomain = QStringLiteral("file");
enum FetcherErrorCode {
    FetcherErrorUploadFailed = -2,  // chunk bytes unavailable, retry limit reached
    FetcherErrorNotAFile = -3,      // an upload source that is not a regular file
    FetcherErrorSourceChanged = -4, // an upload source that changed while it was sent
    FetcherErrorInsecureRequest = -5,
};
// User-info keys of status errors and refusals.
inline const QString StatusDataKey = QStringLiteral("data");
inline const QString StatusDataContentTypeKey = QStringLiteral("data_content_type");
inline const QString FailingURLKey = QStringLiteral("failingURL");

// The refusal of a URL that may not be fetched: "http.fetcher" -5 with the
// URL under FailingURLKey.
Error insecureFetchError(const QUrl &url);

// User-Agent pieces. Cleaning turns " " and "," into "_" and drops
// whitespace and ()<>@;:\"/[]?={}.
QString cleanedUserAgentString(const QString &text);
// "<identifier>/<version>" cleaned, or "proc_<process>" without identifier.
QString userAgentApplicationIdentifier(const QString &identifier, const QString &version,
                                       const QString &processName);
// This application's piece: its reverse-domain identifier (from the
// organisation domain and application name) and version. Cached.
QString userAgentApplicationIdentifier();
// "Linux/x.y.z" from the running kernel. Computed once.
QString userAgentSystemVersion();
// What a request without "User-Agent" is given.
QString standardUserAgent();

class HTTPFetcher;
class HTTPFetcherService;
using HTTPFetcherPtr = std::shared_ptr<HTTPFetcher>;
using HTTPFetcherServicePtr = std::shared_ptr<HTTPFetcherService>;

// Owns the per-host limit and the settings new fetchers start from. All
// fetchers share the one HttpsTransport, so sequential requests to a host
// reuse its kept-alive connection. Main thread only.
class HTTPFetcherService : public std::enable_shared_from_this<HTTPFetcherService>
{
public:
    static HTTPFetcherServicePtr create();

    int maxRunningFetchersPerHost = 10;
    double unusedSessionTimeout = 60;
    std::shared_ptr<Authorizer> authorizer;
    bool retryEnabled = false;
    double maxRetryInterval = 0;
    QStringList allowedInsecureSchemes;
    bool allowLocalhostRequest = false;
    std::function<QString()> userAgentProvider = standardUserAgent;

    // A fetcher for the request carrying this service's settings.
    HTTPFetcherPtr fetcherWithRequest(const HttpRequest &request);
    // Gives a fetcher made elsewhere (an upload fetcher) these settings.
    void adoptFetcher(const HTTPFetcherPtr &fetcher);

    qsizetype runningFetcherCount(const QString &host) const;
    qsizetype delayedFetcherCount(const QString &host) const;

private:
    friend class HTTPFetcher;
    HTTPFetcherService() = default;
    // True when the fetcher may start now; otherwise it waits its turn.
    bool admit(const HTTPFetcherPtr &fetcher);
    void fetcherDidStop(HTTPFetcher *fetcher);

    QHash<QString, QList<HTTPFetcher *>> m_running;
    QHash<QString, QList<std::weak_ptr<HTTPFetcher>>> m_delayed;
};

// One HTTPS exchange: authorization, the insecure-URL refusal, the per-host
// wait, one retry after a 401 when the authorizer can refresh, and status
// errors. The completion runs exactly once, later on the main event loop,
// with the body (also on failure, as far as it arrived) and the error.
class HTTPFetcher : public std::enable_shared_from_this<HTTPFetcher>
{
public:
    using Completion = std::function<void(const QByteArray &data, std::optional<Error> error)>;

    // A fetcher without service: no per-host limit, no default authorizer.
    static HTTPFetcherPtr fetcherWithRequest(const HttpRequest &request);
    virtual ~HTTPFetcher();

    HttpRequest request;
    std::shared_ptr<Authorizer> authorizer;
    bool retryEnabled = false;
    double maxRetryInterval = 0;
    // Wait before the retry after a 401: 1 to 2 seconds, drawn at creation.
    double minRetryInterval = 1;
    QString comment;
    QStringList allowedInsecureSchemes;
    bool allowLocalhostRequest = false;
    std::function<QString()> userAgentProvider = standardUserAgent;

    virtual void beginFetch(Completion completion);
    // Ends the exchange without calling back.
    virtual void stopFetching();
    bool isFetching() const { return bool(m_self); }

    int statusCode() const { return m_response.statusCode; }
    const HttpResponse &response() const { return m_response; }
    const QByteArray &downloadedData() const { return m_data; }
    QString host() const { return request.url.host().toLower(); }

protected:
    HTTPFetcher();
    // Hands the outcome to the completion (later, on the event loop).
    void finish(const QByteArray &data, std::optional<Error> error);
    void setResponse(const HttpResponse &response) { m_response = response; }

private:
    friend class HTTPFetcherService;
    void begin(bool mayDelay, bool mayAuthorize);
    bool isSchemeAllowed() const;
    std::optional<Error> bodyFileError() const;
    void startTask();
    void taskDidComplete(std::optional<Error> error);
    bool shouldRetryNow();

    std::weak_ptr<HTTPFetcherService> m_service;
    HTTPFetcherPtr m_self; // alive while fetching
    Completion m_completion;
    QPointer<HttpTask> m_task;
    HttpResponse m_response;
    QByteArray m_data;
    bool m_primedForRefresh = false;
    bool m_finished = false;
};

} // namespace rest
