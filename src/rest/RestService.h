// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/HTTPFetcher.h"
#include "rest/RestObject.h"
#include "rest/UploadParameters.h"

#include <QJsonObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The REST query layer.
//
// A client builds a service of one of the API subtypes per call, sets its
// authorizer, builds one query through the query type's factory, sets
// parameters and executes it:
//
//     rest::DriveAPIService service;
//     service.authorizer = session;          // std::shared_ptr<rest::Authorizer>
//     auto query = rest::DriveFilesListQuery::query();
//     query->setParameter("pageSize", 100);
//     service.executeQuery(query, [](rest::ServiceTicketPtr, rest::RestObjectPtr object,
//                                    std::optional<Error> error) { ... });
//
// The completion runs exactly once on the main thread, later on its event
// loop (never inside executeQuery), unless the ticket was cancelled first.
// JSON answers are parsed on a worker thread into the query's expected
// object class (or the class the answer's "kind" names). Errors:
//   "rest.error"  : the server's JSON error, code and message from the body;
//                   structuredError(error) gives the ErrorObject.
//   "http.status" : other status >= 300; code = status; "data" holds the body
//                   ("data_content_type" its type) or, for a non-JSON body,
//                   the description is the body text.
//   "http.fetcher": -5 insecure URL refused; -2 upload failures.
//   "url"         : transport failures (-999 cancelled, -1001 timed out...).
//   "rest.query"  : the query itself could not be sent (spent, bad template).
//   authorizer errors pass through unchanged.
namespace rest {

inline const QString QueryErrorDomain = QStringLiteral("rest.query");
enum QueryErrorCode {
    QueryErrorInvalid = -1,     // no query, or one already executed
    QueryErrorBadTemplate = -2, // the path or parameters could not be expanded
    QueryErrorUnsupported = -3, // a request shape this layer does not send
};

class RestQuery;
class ServiceTicket;
using RestQueryPtr = std::shared_ptr<RestQuery>;
using ServiceTicketPtr = std::shared_ptr<ServiceTicket>;
using QueryCompletion = std::function<void(const ServiceTicketPtr &ticket, const RestObjectPtr &object,
                                           const std::optional<Error> &error)>;

// One REST call: a path template, a method, parameters (stored by JSON name
// in `JSON`), an optional body object and upload. Single use: executing it
// spends it.
class RestQuery
{
public:
    // Nothing when the path template is empty.
    static RestQueryPtr create(const QString &pathURITemplate, const QByteArray &httpMethod = {},
                               const QStringList &pathParameterNames = {});
    virtual ~RestQuery() = default;

    QString pathURITemplate;
    QByteArray httpMethod; // empty means GET
    QStringList pathParameterNames;
    QJsonObject JSON; // the parameters, by JSON name
    RestObjectPtr bodyObject;
    std::optional<UploadParameters> uploadParameters;
    const ObjectClass *expectedObjectClass = nullptr;
    QString loggingName;
    QJsonObject additionalURLQueryParameters;
    HeaderList additionalHTTPHeaders;
    bool shouldSkipAuthorization = false;
    QString requestID;
    QueryCompletion completionBlock;
    QString downloadAsDataObjectType;
    bool useMediaDownloadService = false;
    QString simpleUploadPathURITemplateOverride;
    QString resumableUploadPathURITemplateOverride;

    // Parameters by property name ("identifier" is stored as "id").
    void setParameter(const QString &property, const QJsonValue &value);
    QJsonValue parameter(const QString &property) const;
    QString jsonNameForParameter(const QString &property) const;

    bool isInvalid() const { return m_invalid; }
    // Marks the query spent and drops its completion and parameters.
    void invalidateQuery();
    // The executing copy carries everything, the completion included.
    RestQueryPtr copy() const;

protected:
    RestQuery() = default;
    RestQuery(const RestQuery &) = default;
    virtual QHash<QString, QString> parameterNameMap() const;

private:
    bool m_invalid = false;
};

// One running query. Cancelling before the completion runs suppresses it.
class ServiceTicket : public std::enable_shared_from_this<ServiceTicket>
{
public:
    void cancelTicket();
    bool isCancelled() const { return m_cancelled; }
    bool hasCalledCallback() const { return m_calledCallback; }
    const RestObjectPtr &fetchedObject() const { return m_object; }
    const std::optional<Error> &fetchError() const { return m_error; }
    const RestQueryPtr &executingQuery() const { return m_query; }
    int statusCode() const;
    QString requestID() const { return m_query ? m_query->requestID : QString(); }

    // How the answer is parsed, copied from the service at start.
    ObjectClassResolver objectClassResolver;
    bool dataWrapperRequired = false;

private:
    friend class RestService;
    void deliver(const RestObjectPtr &object, const std::optional<Error> &error);

    RestQueryPtr m_query;
    QueryCompletion m_completion;
    HTTPFetcherPtr m_fetcher;
    RestObjectPtr m_object;
    std::optional<Error> m_error;
    int m_statusCode = 0;
    bool m_cancelled = false;
    bool m_calledCallback = false;
};

// An API: its root, paths, settings and the fetcher service it owns.
class RestService
{
public:
    virtual ~RestService() = default;

    QString rootURLString;              // ends with "/"
    std::optional<QString> servicePath; // ends with "/"
    std::optional<QString> simpleUploadPath;
    std::optional<QString> resumableUploadPath;
    std::optional<QString> batchPath; // where several calls go as one request
    QStringList prettyPrintQueryParameterNames;
    std::shared_ptr<Authorizer> authorizer;
    bool shouldFetchNextPages = false;
    bool retryEnabled = false;
    double maxRetryInterval = 600;
    QJsonObject additionalURLQueryParameters;
    HeaderList additionalHTTPHeaders;
    QString userAgent;
    QString userAgentAddition;
    QString APIKey;
    QString APIKeyRestrictionBundleID;
    bool dataWrapperRequired = false;
    ObjectClassResolver objectClassResolver;
    HTTPFetcherServicePtr fetcherService = HTTPFetcherService::create();
    // Bytes per upload chunk (at least 50000, at most 100 MiB are used).
    qint64 serviceUploadChunkSize = 25 * 1024 * 1024;

    // Starts the query; see the top of this file for what the completion gets.
    ServiceTicketPtr executeQuery(const RestQueryPtr &query, QueryCompletion completion);

    // The request a query turns into (URL, headers, body), or the error that
    // stops it. Used by executeQuery; open for inspection.
    std::optional<HttpRequest> requestForQuery(const RestQuery &query, Error *error) const;
    QString requestUserAgent() const;

    // base + "?" (or "&") + the parameters sorted case-insensitively, arrays
    // exploded one name=value per element. nullopt when a value cannot be
    // written (an array of objects).
    static std::optional<QString> urlWithQueryParameters(const QString &base, const QJsonObject &parameters);

protected:
    RestService();

private:
    std::optional<QString> urlForQuery(const RestQuery &query, Error *error) const;
    HTTPFetcherPtr fetcherForQuery(const RestQuery &query, const HttpRequest &request) const;
};

// The provider's APIs. Roots come from Provider::current(); for the loopback
// sandbox, plain http to the local machine is allowed.
class CalendarAPIService : public RestService
{
public:
    CalendarAPIService();
};

class DriveAPIService : public RestService
{
public:
    DriveAPIService();
};

class GmailAPIService : public RestService
{
public:
    GmailAPIService();
};

} // namespace rest
