// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/RestService.h"

#include "rest/AnswerParsing.h"
#include "rest/Resources.h"
#include "rest/URITemplate.h"
#include "rest/UploadFetcher.h"
#include "core/Provider.h"

#include <QCoreApplication>
#include <QFuture>
#include <QJsonDocument>
#include <QTimer>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

namespace rest {

namespace {

constexpr qsizetype LongURLLimit = 2048;
const QByteArray JsonContentType = "application/json; charset=utf-8";

void later(std::function<void()> fn)
{
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(fn));
}

} // namespace

// ---- query ----------------------------------------------------------------

RestQueryPtr RestQuery::create(const QString &pathURITemplate, const QByteArray &httpMethod,
                               const QStringList &pathParameterNames)
{
    if (pathURITemplate.isEmpty())
        return nullptr;
    RestQueryPtr query(new RestQuery());
    query->pathURITemplate = pathURITemplate;
    query->httpMethod = httpMethod;
    query->pathParameterNames = pathParameterNames;
    return query;
}

QHash<QString, QString> RestQuery::parameterNameMap() const
{
    return {{QStringLiteral("identifier"), QStringLiteral("id")}};
}

QString RestQuery::jsonNameForParameter(const QString &property) const
{
    return parameterNameMap().value(property, property);
}

void RestQuery::setParameter(const QString &property, const QJsonValue &value)
{
    const QString name = jsonNameForParameter(property);
    if (value.isUndefined() || value.isNull())
        JSON.remove(name);
    else
        JSON.insert(name, value);
}

QJsonValue RestQuery::parameter(const QString &property) const
{
    return JSON.value(jsonNameForParameter(property));
}

void RestQuery::invalidateQuery()
{
    m_invalid = true;
    completionBlock = nullptr;
    JSON = {};
    bodyObject = nullptr;
    uploadParameters.reset();
}

RestQueryPtr RestQuery::copy() const
{
    RestQueryPtr twin(new RestQuery(*this));
    if (twin->requestID.isEmpty())
        twin->requestID = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return twin;
}

// ---- ticket ---------------------------------------------------------------

void ServiceTicket::cancelTicket()
{
    if (m_cancelled || m_calledCallback)
        return;
    m_cancelled = true;
    if (m_fetcher)
        m_fetcher->stopFetching();
    m_fetcher.reset();
    m_completion = nullptr;
    if (m_query)
        m_query->invalidateQuery();
    m_error = transportError(TransportCancelled, QStringLiteral("cancelled"));
}

int ServiceTicket::statusCode() const
{
    return m_statusCode;
}

// ---- service --------------------------------------------------------------

RestService::RestService() = default;

QString RestService::requestUserAgent() const
{
    QString text = userAgent.isEmpty() ? userAgentApplicationIdentifier() : userAgent;
    if (text.contains(QStringLiteral("tarnlight-rest-client"), Qt::CaseInsensitive))
        return text;
    const QString addition = userAgentAddition.isEmpty() ? QString() : u' ' + userAgentAddition;
    return QStringLiteral("%1 %2/%3 %4%5 (gzip)")
        .arg(text, QStringLiteral("tarnlight-rest-client"), QStringLiteral("1.0"), userAgentSystemVersion(),
             addition);
}

std::optional<QString> RestService::urlWithQueryParameters(const QString &base, const QJsonObject &parameters)
{
    if (parameters.isEmpty())
        return base;
    const auto text = URITemplate::queryText(parameters);
    if (!text)
        return std::nullopt;
    if (text->isEmpty())
        return base;
    return base + (base.contains(u'?') ? u'&' : u'?') + *text;
}

std::optional<QString> RestService::urlForQuery(const RestQuery &query, Error *error) const
{
    auto fail = [&](const QString &reason) -> std::optional<QString> {
        *error = Error::make(QueryErrorDomain, QueryErrorBadTemplate,
                             URITemplate::FailureName + QStringLiteral(": ") + reason);
        return std::nullopt;
    };
    QString failure;
    auto path = URITemplate::expand(query.pathURITemplate, query.JSON, &failure);
    if (!path)
        return fail(failure);
    QString uploadPrefix;
    QString service = servicePath.value_or(QString());
    const auto &upload = query.uploadParameters;
    const bool single = upload && upload->shouldUploadWithSingleRequest;
    if (upload) {
        const QString override = single ? query.simpleUploadPathURITemplateOverride
                                        : query.resumableUploadPathURITemplateOverride;
        if (!override.isEmpty()) {
            path = URITemplate::expand(override, query.JSON, &failure);
            if (!path)
                return fail(failure);
            service.clear();
        } else {
            uploadPrefix = (single ? simpleUploadPath : resumableUploadPath).value_or(QString());
        }
    }
    QJsonObject parameters = query.JSON;
    for (const QString &name : query.pathParameterNames)
        parameters.remove(name);
    if (single)
        parameters.insert(QStringLiteral("uploadType"), upload->shouldSendUploadOnly
                                                            ? QStringLiteral("media")
                                                            : QStringLiteral("multipart"));
    for (auto it = query.additionalURLQueryParameters.begin(); it != query.additionalURLQueryParameters.end();
         ++it)
        parameters.insert(it.key(), it.value());
    for (auto it = additionalURLQueryParameters.begin(); it != additionalURLQueryParameters.end(); ++it)
        if (!parameters.contains(it.key()))
            parameters.insert(it.key(), it.value());
    const auto url = urlWithQueryParameters(rootURLString + uploadPrefix + service + *path, parameters);
    if (!url)
        return fail(QStringLiteral("a query parameter holds a value that cannot be sent"));
    return url;
}

std::optional<HttpRequest> RestService::requestForQuery(const RestQuery &query, Error *error) const
{
    const auto urlText = urlForQuery(query, error);
    if (!urlText)
        return std::nullopt;
    HttpRequest request;
    request.url = QUrl(*urlText, QUrl::TolerantMode);
    if (!request.url.isValid()) {
        *error = Error::make(QueryErrorDomain, QueryErrorBadTemplate,
                             QStringLiteral("The query's URL is not valid."));
        return std::nullopt;
    }
    request.timeoutSeconds = 60;
    request.setHeader("User-Agent", requestUserAgent().toUtf8());
    if (!query.httpMethod.isEmpty())
        request.method = query.httpMethod;
    const QString etag = query.bodyObject
                             ? query.bodyObject->stringValue(QStringLiteral("etag")).value_or(QString())
                             : QString();
    if (!etag.isEmpty()) {
        if (request.method == "GET")
            request.setHeader("If-None-Match", etag.toUtf8());
        else if ((request.method == "PUT" || request.method == "DELETE" || request.method == "PATCH")
                 && !etag.startsWith(QStringLiteral("W/")))
            request.setHeader("If-Match", etag.toUtf8());
    }
    request.setHeader("Accept", "application/json");
    request.setHeader("Content-Type", JsonContentType);
    request.setHeader("Cache-Control", "no-cache");
    for (const auto &[name, value] : additionalHTTPHeaders)
        request.setHeader(name, value);
    for (const auto &[name, value] : query.additionalHTTPHeaders)
        request.setHeader(name, value);

    const auto &upload = query.uploadParameters;
    if (query.bodyObject && !(upload && upload->shouldSendUploadOnly)) {
        QJsonObject body = query.bodyObject->JSON();
        if (dataWrapperRequired)
            body = QJsonObject{{QStringLiteral("data"), body}};
        request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    }
    const QByteArray encoded = request.url.toEncoded();
    if ((request.method.isEmpty() || request.method == "GET") && request.body.isEmpty() && !upload
        && encoded.size() >= LongURLLimit) {
        const qsizetype mark = encoded.indexOf('?');
        request.url = QUrl::fromEncoded(encoded.left(mark));
        request.method = "POST";
        request.body = encoded.mid(mark + 1);
        request.setHeader("X-HTTP-Method-Override", "GET");
        request.setHeader("Content-Type", "application/x-www-form-urlencoded");
        request.setHeader("Content-Length", QByteArray::number(request.body.size()));
    }
    return request;
}

HTTPFetcherPtr RestService::fetcherForQuery(const RestQuery &query, const HttpRequest &request) const
{
    if (!query.uploadParameters)
        return fetcherService->fetcherWithRequest(request);
    auto upload = UploadFetcher::uploadFetcherWithRequest(request, *query.uploadParameters,
                                                          serviceUploadChunkSize);
    fetcherService->adoptFetcher(upload);
    return upload;
}

ServiceTicketPtr RestService::executeQuery(const RestQueryPtr &query, QueryCompletion completion)
{
    auto ticket = std::make_shared<ServiceTicket>();
    ticket->objectClassResolver = objectClassResolver;
    ticket->dataWrapperRequired = dataWrapperRequired;
    ticket->m_completion = std::move(completion);

    auto failLater = [ticket](Error error) {
        later([ticket, error] { ticket->deliver(nullptr, error); });
        return ticket;
    };
    if (!query || query->isInvalid())
        return failLater(Error::make(QueryErrorDomain, QueryErrorInvalid,
                                     QStringLiteral("The query is missing or was already executed.")));
    RestQueryPtr executing = query->copy();
    query->invalidateQuery();
    ticket->m_query = executing;
    if (executing->uploadParameters && executing->uploadParameters->shouldUploadWithSingleRequest)
        return failLater(Error::make(QueryErrorDomain, QueryErrorUnsupported,
                                     QStringLiteral("Single-request uploads are not supported.")));

    const QStringList &pretty = prettyPrintQueryParameterNames;
    const bool callerSetPretty = std::any_of(pretty.begin(), pretty.end(), [&](const QString &n) {
        return executing->additionalURLQueryParameters.contains(n);
    });
    if (!pretty.isEmpty() && executing->downloadAsDataObjectType.isEmpty() && !callerSetPretty)
        executing->additionalURLQueryParameters.insert(pretty.first(), QStringLiteral("false"));

    Error error;
    const auto request = requestForQuery(*executing, &error);
    if (!request)
        return failLater(error);

    HTTPFetcherPtr fetcher = fetcherForQuery(*executing, *request);
    fetcher->authorizer = executing->shouldSkipAuthorization ? nullptr : authorizer;
    fetcher->retryEnabled = retryEnabled;
    fetcher->maxRetryInterval = maxRetryInterval;
    fetcher->comment = executing->loggingName;
    ticket->m_fetcher = fetcher;

    const ObjectClass *expected = executing->expectedObjectClass;
    fetcher->beginFetch([ticket, fetcher, expected](const QByteArray &data, std::optional<Error> error) {
        if (ticket->m_cancelled)
            return;
        Answer answer{data, error, fetcher->statusCode(), fetcher->response().header("Content-Type")};
        ticket->m_statusCode = answer.status;
        QtConcurrent::run(parseAnswer, answer, expected, ticket->objectClassResolver,
                          ticket->dataWrapperRequired)
            .then(QCoreApplication::instance(),
                  [ticket](const Parsed &parsed) { ticket->deliver(parsed.object, parsed.error); });
    });
    return ticket;
}

void ServiceTicket::deliver(const RestObjectPtr &object, const std::optional<Error> &error)
{
    if (m_cancelled || m_calledCallback)
        return;
    m_object = object;
    m_error = error;
    QueryCompletion block = m_query ? m_query->completionBlock : nullptr;
    QueryCompletion completion = std::move(m_completion);
    if (m_query)
        m_query->invalidateQuery();
    m_fetcher.reset();
    m_calledCallback = true;
    auto self = shared_from_this();
    if (block)
        block(self, object, error);
    if (completion)
        completion(self, object, error);
}

// ---- the provider's APIs --------------------------------------------------

namespace {

QString rootOf(const QUrl &url)
{
    QString text = url.toString();
    return text.endsWith(u'/') ? text : text + u'/';
}

enum class Uploads {
    None,
    Accepted
};

// Every API of the provider: its root and paths; loopback hosts are allowed
// only for the built-in sandbox.
void configure(RestService &service, const QUrl &root, const QString &servicePath, Uploads uploads)
{
    const Provider &provider = Provider::current();
    service.rootURLString = rootOf(root);
    if (!servicePath.isEmpty())
        service.servicePath = servicePath;
    if (uploads == Uploads::Accepted) {
        service.simpleUploadPath = QStringLiteral("upload/");
        service.resumableUploadPath = QStringLiteral("resumable/upload/");
    }
    service.prettyPrintQueryParameterNames = {QStringLiteral("prettyPrint")};
    service.fetcherService->allowLocalhostRequest = provider.isLoopback();
}

} // namespace

CalendarAPIService::CalendarAPIService()
{
    configure(*this, Provider::current().apiRoot, QStringLiteral("calendar/v3/"), Uploads::None);
    objectClassResolver = ObjectClassResolver(calendarKindMap());
}

DriveAPIService::DriveAPIService()
{
    configure(*this, Provider::current().apiRoot, QStringLiteral("drive/v3/"), Uploads::Accepted);
    objectClassResolver = ObjectClassResolver(driveKindMap());
}

GmailAPIService::GmailAPIService()
{
    configure(*this, Provider::current().gmailRoot, {}, Uploads::Accepted);
    batchPath = QStringLiteral("batch/gmail/v1");
}

} // namespace rest
