// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/ServiceConfiguration.h"

#include "oauth/OAuthError.h"
#include "rest/HTTPFetcher.h"
#include "rest/HttpsTransport.h"
#include "core/Provider.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>

#include <variant>

namespace oauth {

static QUrl parseURL(const QJsonValue &value)
{
    if (!value.isString() || value.toString().isEmpty())
        return {};
    const QUrl url(value.toString(), QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

QUrl ServiceDiscovery::urlMember(const QString &name) const
{
    return parseURL(discoveryDictionary.value(name));
}

std::optional<ServiceDiscovery> ServiceDiscovery::fromJson(const QJsonObject &document, Error *error)
{
    static const char *const required[] = {"issuer",
                                           "authorization_endpoint",
                                           "token_endpoint",
                                           "jwks_uri",
                                           "response_types_supported",
                                           "subject_types_supported",
                                           "id_token_signing_alg_values_supported"};
    for (const char *name : required) {
        if (!document.contains(QLatin1String(name))) {
            *error = generalError(InvalidDiscoveryDocument, std::nullopt,
                                  QStringLiteral("Missing field: %1").arg(QLatin1String(name)));
            return std::nullopt;
        }
    }
    for (const char *name : {"issuer", "token_endpoint", "jwks_uri"}) {
        if (parseURL(document.value(QLatin1String(name))).isEmpty()) {
            *error = generalError(InvalidDiscoveryDocument, std::nullopt,
                                  QStringLiteral("Invalid URL: %1").arg(QLatin1String(name)));
            return std::nullopt;
        }
    }
    return ServiceDiscovery{document};
}

ServiceConfiguration ServiceConfiguration::fromDiscovery(const ServiceDiscovery &discovery)
{
    return {discovery.authorizationEndpoint(), discovery.tokenEndpoint(),      discovery.issuer(),
            discovery.registrationEndpoint(),  discovery.endSessionEndpoint(), discovery};
}

std::optional<Error> insecureEndpointError(const QUrl &endpoint)
{
    const QString scheme = endpoint.scheme().toLower();
    if (scheme == u"https" || (scheme == u"http" && isLoopbackHost(endpoint.host())))
        return std::nullopt;
    return rest::insecureFetchError(endpoint);
}

QUrl discoveryURL(const QUrl &issuer)
{
    QUrl url = issuer;
    QString path = url.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    url.setPath(path + QStringLiteral(".well-known/openid-configuration"));
    return url;
}

std::optional<Error> issuerMismatchError(const ServiceConfiguration &configuration, const QUrl &issuer)
{
    // Compared as text (OpenID Connect Discovery section 4.3): a document
    // that names another issuer may hand out another provider's endpoints.
    const QString expected = issuer.toString(QUrl::FullyEncoded);
    const QJsonValue named = configuration.discoveryDocument
                                 ? configuration.discoveryDocument->discoveryDictionary.value(
                                     QStringLiteral("issuer"))
                                 : QJsonValue();
    if (named.isString() && named.toString() == expected)
        return std::nullopt;
    return generalError(InvalidDiscoveryDocument, std::nullopt,
                        QStringLiteral("The discovery document names the issuer '%1', not the configured "
                                       "issuer '%2'.")
                            .arg(named.toString(), expected));
}

void discoverServiceConfiguration(const QUrl &issuer, Completion<ServiceConfiguration> completion)
{
    discoverServiceConfigurationAt(
        discoveryURL(issuer),
        [issuer, completion = std::move(completion)](std::optional<ServiceConfiguration> configuration,
                                                     std::optional<Error> error) {
            if (configuration) {
                error = issuerMismatchError(*configuration, issuer);
                if (error)
                    configuration.reset();
            }
            completion(std::move(configuration), std::move(error));
        });
}

std::variant<ServiceConfiguration, Error> parseDiscoveryDocument(const QByteArray &body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return generalError(JSONDeserializationError, std::nullopt, parseError.errorString());
    if (!document.isObject())
        return generalError(InvalidDiscoveryDocument, std::nullopt,
                            QStringLiteral("Discovery document isn't a dictionary"));
    Error error;
    const auto discovery = ServiceDiscovery::fromJson(document.object(), &error);
    if (!discovery)
        return error;
    return ServiceConfiguration::fromDiscovery(*discovery);
}

static std::optional<Error> insecureEndpointsError(const ServiceConfiguration &configuration)
{
    for (const QUrl &endpoint : {configuration.authorizationEndpoint, configuration.tokenEndpoint})
        if (auto insecure = insecureEndpointError(endpoint))
            return insecure;
    return std::nullopt;
}

static std::variant<ServiceConfiguration, Error> discoveryOutcome(const QString &shownURL,
                                                                  const QByteArray &body,
                                                                  const rest::HttpResponse &response,
                                                                  const std::optional<Error> &transport)
{
    if (transport)
        return generalError(NetworkError, transport,
                            QStringLiteral("Connection error fetching discovery document '%1': %2.")
                                .arg(shownURL, transport->description()));
    if (response.statusCode != 200)
        return generalError(NetworkError, remoteHTTPError(response.statusCode, body),
                            QStringLiteral("Non-200 HTTP response (%1) fetching discovery "
                                           "document '%2'.")
                                .arg(response.statusCode)
                                .arg(shownURL));
    auto parsed = parseDiscoveryDocument(body);
    if (auto *error = std::get_if<Error>(&parsed))
        return generalError(
            NetworkError, *error,
            QStringLiteral("JSON error parsing document at '%1': %2").arg(shownURL, error->description()));
    if (auto insecure = insecureEndpointsError(std::get<ServiceConfiguration>(parsed)))
        return *insecure;
    return parsed;
}

void discoverServiceConfigurationAt(const QUrl &url, Completion<ServiceConfiguration> completion)
{
    // A document read in clear could name any endpoints at all.
    if (auto insecure = insecureEndpointError(url)) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [completion, error = *insecure] { completion(std::nullopt, error); }, Qt::QueuedConnection);
        return;
    }
    rest::HttpRequest request;
    request.url = url;
    rest::HttpsTransport::shared().dataTask(
        request,
        [completion, shownURL = url.toString()](const QByteArray &body, const rest::HttpResponse &response,
                                                std::optional<Error> transport) {
            auto outcome = discoveryOutcome(shownURL, body, response, transport);
            if (auto *error = std::get_if<Error>(&outcome))
                completion(std::nullopt, *error);
            else
                completion(std::get<ServiceConfiguration>(std::move(outcome)), std::nullopt);
        });
}

} // namespace oauth
