// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/Completion.h"

#include <QJsonObject>
#include <QUrl>

#include <optional>
#include <variant>

namespace oauth {

// The provider's OpenID discovery document, kept whole.
struct ServiceDiscovery
{
    QJsonObject discoveryDictionary;

    // URL members; an empty URL when absent or not a string.
    QUrl issuer() const { return urlMember(QStringLiteral("issuer")); }
    QUrl authorizationEndpoint() const { return urlMember(QStringLiteral("authorization_endpoint")); }
    QUrl tokenEndpoint() const { return urlMember(QStringLiteral("token_endpoint")); }
    QUrl registrationEndpoint() const { return urlMember(QStringLiteral("registration_endpoint")); }
    QUrl endSessionEndpoint() const { return urlMember(QStringLiteral("end_session_endpoint")); }
    QUrl urlMember(const QString &name) const;

    // Checks the members every document must have; the error is -2.
    static std::optional<ServiceDiscovery> fromJson(const QJsonObject &document, Error *error);

    friend bool operator==(const ServiceDiscovery &, const ServiceDiscovery &) = default;
};

// Where the provider's endpoints are. Empty URLs mean "none".
struct ServiceConfiguration
{
    QUrl authorizationEndpoint;
    QUrl tokenEndpoint;
    QUrl issuer;
    QUrl registrationEndpoint;
    QUrl endSessionEndpoint;
    std::optional<ServiceDiscovery> discoveryDocument;

    static ServiceConfiguration fromDiscovery(const ServiceDiscovery &discovery);

    friend bool operator==(const ServiceConfiguration &, const ServiceConfiguration &) = default;
};

// The refusal of an endpoint that would carry codes, verifiers, secrets or
// tokens in clear: anything but https, except plain http to a loopback host
// (the loopback provider). The error is the fetcher's insecure-URL error.
std::optional<Error> insecureEndpointError(const QUrl &endpoint);

// The issuer's discovery URL: its path + ".well-known/openid-configuration".
QUrl discoveryURL(const QUrl &issuer);

// The configuration a discovery document's bytes describe, or the JSON (-7)
// or document (-2) error.
std::variant<ServiceConfiguration, Error> parseDiscoveryDocument(const QByteArray &body);

// The -2 error for a configuration whose document names an issuer other
// than `issuer`, exactly as written.
std::optional<Error> issuerMismatchError(const ServiceConfiguration &configuration, const QUrl &issuer);

// Fetches and checks the discovery document; the completion runs once,
// later on the event loop, with a configuration or an error. Found through
// the issuer, the document must name that issuer.
void discoverServiceConfiguration(const QUrl &issuer, Completion<ServiceConfiguration> completion);
void discoverServiceConfigurationAt(const QUrl &discoveryURL, Completion<ServiceConfiguration> completion);

} // namespace oauth
