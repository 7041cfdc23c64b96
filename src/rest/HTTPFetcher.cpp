// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/HTTPFetcher.h"

#include "core/Provider.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcFetcher, "tarnlight.fetcher")

namespace rest {

namespace {

// Runs `fn` later on the main event loop.
void later(std::function<void()> fn, int delayMs = 0)
{
    QTimer::singleShot(delayMs, QCoreApplication::instance(), std::move(fn));
}

double drawMinRetryInterval()
{
    return 1.0 + QRandomGenerator::global()->bounded(65535) / 65535.0;
}

} // namespace

Error insecureFetchError(const QUrl &url)
{
    return Error::make(FetcherErrorDomain, FetcherErrorInsecureRequest,
                       QStringLiteral("Insecure fetch disallowed"))
        .withUserInfo(FailingURLKey, url);
}

QString cleanedUserAgentString(const QString &text)
{
    static const QString dropped = QStringLiteral("()<>@;:\\\"/[]?={}");
    QString out;
    for (QChar c : text) {
        if (c == u' ' || c == u',')
            out.append(u'_');
        else if (!c.isSpace() && !dropped.contains(c))
            out.append(c);
    }
    return out;
}

QString userAgentApplicationIdentifier(const QString &identifier, const QString &version,
                                       const QString &processName)
{
    QString result = cleanedUserAgentString(identifier.isEmpty() ? QStringLiteral("proc_") + processName
                                                                 : identifier);
    const QString cleanVersion = cleanedUserAgentString(version);
    if (!cleanVersion.isEmpty())
        result += u'/' + cleanVersion;
    return result;
}

QString userAgentApplicationIdentifier()
{
    QString identifier;
    const QString domain = QCoreApplication::organizationDomain();
    if (!domain.isEmpty()) {
        QStringList parts = domain.split(u'.', Qt::SkipEmptyParts);
        std::reverse(parts.begin(), parts.end());
        parts.append(QCoreApplication::applicationName());
        identifier = parts.join(u'.');
    }
    static QMutex mutex;
    static QHash<QString, QString> cache;
    QMutexLocker lock(&mutex);
    auto it = cache.find(identifier);
    if (it == cache.end()) {
        const QString process = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        it = cache.insert(identifier, userAgentApplicationIdentifier(
                                          identifier, QCoreApplication::applicationVersion(), process));
    }
    return *it;
}

QString userAgentSystemVersion()
{
    static const QString version = [] {
        static const QRegularExpression numbers(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
        const auto m = numbers.match(QSysInfo::kernelVersion());
        auto part = [&](int i) { return m.captured(i).isEmpty() ? QStringLiteral("0") : m.captured(i); };
        return QStringLiteral("Linux/%1.%2.%3").arg(part(1), part(2), part(3));
    }();
    return version;
}

QString standardUserAgent()
{
    return userAgentApplicationIdentifier() + u' ' + userAgentSystemVersion();
}

// ---- service --------------------------------------------------------------

HTTPFetcherServicePtr HTTPFetcherService::create()
{
    return HTTPFetcherServicePtr(new HTTPFetcherService());
}

HTTPFetcherPtr HTTPFetcherService::fetcherWithRequest(const HttpRequest &request)
{
    HTTPFetcherPtr fetcher = HTTPFetcher::fetcherWithRequest(request);
    adoptFetcher(fetcher);
    return fetcher;
}

void HTTPFetcherService::adoptFetcher(const HTTPFetcherPtr &fetcher)
{
    fetcher->m_service = weak_from_this();
    fetcher->authorizer = authorizer;
    fetcher->retryEnabled = retryEnabled;
    fetcher->maxRetryInterval = maxRetryInterval;
    fetcher->allowedInsecureSchemes = allowedInsecureSchemes;
    fetcher->allowLocalhostRequest = allowLocalhostRequest;
    fetcher->userAgentProvider = userAgentProvider;
}

qsizetype HTTPFetcherService::runningFetcherCount(const QString &host) const
{
    return m_running.value(host.toLower()).size();
}

qsizetype HTTPFetcherService::delayedFetcherCount(const QString &host) const
{
    return m_delayed.value(host.toLower()).size();
}

bool HTTPFetcherService::admit(const HTTPFetcherPtr &fetcher)
{
    auto &running = m_running[fetcher->host()];
    if (running.contains(fetcher.get()))
        return true;
    if (running.size() >= maxRunningFetchersPerHost) {
        m_delayed[fetcher->host()].append(fetcher);
        return false;
    }
    running.append(fetcher.get());
    return true;
}

void HTTPFetcherService::fetcherDidStop(HTTPFetcher *fetcher)
{
    const QString host = fetcher->host();
    for (auto &delayed : m_delayed)
        delayed.removeIf([fetcher](const std::weak_ptr<HTTPFetcher> &w) {
            auto f = w.lock();
            return !f || f.get() == fetcher;
        });
    auto &running = m_running[host];
    if (!running.removeOne(fetcher))
        return;
    auto &waiting = m_delayed[host];
    while (!waiting.isEmpty() && running.size() < maxRunningFetchersPerHost) {
        HTTPFetcherPtr next = waiting.takeFirst().lock();
        if (!next || !next->isFetching())
            continue;
        running.append(next.get());
        later([next] {
            if (next->isFetching())
                next->begin(false, true);
        });
    }
}

// ---- fetcher --------------------------------------------------------------

HTTPFetcher::HTTPFetcher() : minRetryInterval(drawMinRetryInterval()) {}

HTTPFetcher::~HTTPFetcher()
{
    if (m_task)
        m_task->cancel();
}

HTTPFetcherPtr HTTPFetcher::fetcherWithRequest(const HttpRequest &request)
{
    HTTPFetcherPtr fetcher(new HTTPFetcher());
    fetcher->request = request;
    return fetcher;
}

void HTTPFetcher::beginFetch(Completion completion)
{
    if (m_self || m_finished) {
        qCWarning(lcFetcher) << "A fetcher was started twice:" << comment;
        return;
    }
    m_completion = std::move(completion);
    m_self = shared_from_this();
    begin(true, true);
}

bool HTTPFetcher::isSchemeAllowed() const
{
    const QString scheme = request.url.scheme().toLower();
    if (scheme == u"https")
        return true;
    if (allowLocalhostRequest && isLoopbackHost(request.url.host()))
        return true;
    return !scheme.isEmpty() && allowedInsecureSchemes.contains(scheme, Qt::CaseInsensitive);
}

void HTTPFetcher::begin(bool mayDelay, bool mayAuthorize)
{
    if (!isSchemeAllowed()) {
        const QUrl url = request.url;
        // The query is left out of the log: it is the caller's data.
        qCWarning(lcFetcher).noquote()
            << "Insecure fetch disallowed for"
            << (url.isEmpty() ? QStringLiteral("nil request URL")
                              : url.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo));
        finish({}, insecureFetchError(url));
        return;
    }
    if (mayDelay) {
        if (auto service = m_service.lock(); service && !service->admit(m_self))
            return;
    }
    if (!request.hasHeader("User-Agent") && userAgentProvider)
        request.setHeader("User-Agent", userAgentProvider().toUtf8());
    const QByteArray override = request.header("X-HTTP-Method-Override");
    const QByteArray method = override.isEmpty() ? request.method : override;
    if (request.hasBody() && (method.isEmpty() || method.toUpper() == "GET"))
        request.method = "POST";

    if (mayAuthorize && authorizer && !authorizer->isAuthorizedRequest(request)) {
        std::weak_ptr<HTTPFetcher> weak = m_self;
        authorizer->authorizeRequest(request, [weak](HttpRequest authorized, std::optional<Error> error) {
            auto self = weak.lock();
            if (!self || !self->isFetching() || self->m_finished)
                return;
            if (error) {
                self->finish({}, error);
                return;
            }
            self->request = std::move(authorized);
            self->begin(false, false);
        });
        return;
    }
    if (const auto error = bodyFileError()) {
        finish({}, error);
        return;
    }
    startTask();
}

std::optional<Error> HTTPFetcher::bodyFileError() const
{
    if (request.bodyFile.isEmpty())
        return std::nullopt;
    const QByteArray path = QFile::encodeName(request.bodyFile);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return std::nullopt;
    }
    const int code = errno;
    const QString reason = QString::fromLocal8Bit(std::strerror(code));
    qCWarning(lcFetcher).noquote()
        << QStringLiteral("Body file is unreachable: %1\n  %2").arg(request.bodyFile, reason);
    return Error::make(FileErrorDomain, code, reason);
}

void HTTPFetcher::startTask()
{
    m_response = {};
    m_data.clear();
    std::weak_ptr<HTTPFetcher> weak = m_self;
    HttpTaskDelegate delegate;
    delegate.onResponse = [weak](const HttpResponse &response) {
        if (auto self = weak.lock())
            self->m_response = response;
    };
    delegate.onData = [weak](const QByteArray &data) {
        if (auto self = weak.lock())
            self->m_data += data;
    };
    delegate.onComplete = [weak](std::optional<Error> error) {
        if (auto self = weak.lock())
            self->taskDidComplete(error);
    };
    m_task = HttpsTransport::shared().start(request, std::move(delegate));
}

bool HTTPFetcher::shouldRetryNow()
{
    if (m_response.statusCode != 401 || m_primedForRefresh || !authorizer
        || !authorizer->offersPrimeForRefresh())
        return false;
    if (!authorizer->primeForRefresh())
        return false;
    m_primedForRefresh = true;
    return true;
}

void HTTPFetcher::taskDidComplete(std::optional<Error> error)
{
    m_task = nullptr;
    if (!isFetching() || m_finished)
        return;
    if (error) {
        finish(m_data, error);
        return;
    }
    if (shouldRetryNow()) {
        request.removeHeader("Authorization");
        std::weak_ptr<HTTPFetcher> weak = m_self;
        later(
            [weak] {
                if (auto self = weak.lock(); self && self->isFetching() && !self->m_finished)
                    self->begin(false, true);
            },
            int(minRetryInterval * 1000));
        return;
    }
    if (m_response.statusCode >= 300) {
        QVariantMap info;
        if (!m_data.isEmpty())
            info.insert(StatusDataKey, m_data);
        const QByteArray type = m_response.header("Content-Type");
        if (!type.isEmpty())
            info.insert(StatusDataContentTypeKey, QString::fromLatin1(type));
        finish(m_data, Error(StatusErrorDomain, m_response.statusCode, info));
        return;
    }
    finish(m_data, std::nullopt);
}

void HTTPFetcher::finish(const QByteArray &data, std::optional<Error> error)
{
    if (m_finished)
        return;
    m_finished = true;
    HTTPFetcherPtr self = m_self;
    later([self, data, error] {
        Completion completion = std::move(self->m_completion);
        self->m_completion = nullptr;
        if (completion)
            completion(data, error);
        if (auto service = self->m_service.lock())
            service->fetcherDidStop(self.get());
        self->m_self.reset();
    });
}

void HTTPFetcher::stopFetching()
{
    if (!m_self)
        return;
    HTTPFetcherPtr keep = m_self;
    m_finished = true;
    m_completion = nullptr;
    if (m_task)
        m_task->cancel();
    m_task = nullptr;
    if (auto service = m_service.lock())
        service->fetcherDidStop(this);
    m_self.reset();
}

} // namespace rest
