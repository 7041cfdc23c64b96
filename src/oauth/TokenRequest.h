// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthorizationRequest.h"
#include "oauth/ServiceConfiguration.h"
#include "rest/HttpsTransport.h"

#include <QMap>
#include <QUrl>

#include <optional>

namespace oauth {

inline const QString GrantTypeAuthorizationCode = QStringLiteral("authorization_code");
inline const QString GrantTypeRefreshToken = QStringLiteral("refresh_token");

// A request to the token endpoint: a code exchange or a refresh.
struct TokenRequest
{
    ServiceConfiguration configuration;
    QString grantType;
    std::optional<QString> authorizationCode;
    QUrl redirectURL; // empty = none
    QString clientID;
    std::optional<QString> clientSecret;
    std::optional<QString> scope;
    std::optional<QString> refreshToken;
    std::optional<QString> codeVerifier;
    QMap<QString, QString> additionalParameters;
    QMap<QString, QString> additionalHeaders;

    // Throws std::invalid_argument for an "authorization_code" grant without
    // a redirect URL (a mistake of the calling code).
    static TokenRequest make(const ServiceConfiguration &configuration, const QString &grantType,
                             const std::optional<QString> &authorizationCode, const QUrl &redirectURL,
                             const QString &clientID, const std::optional<QString> &clientSecret,
                             const std::optional<QString> &scope, const std::optional<QString> &refreshToken,
                             const std::optional<QString> &codeVerifier,
                             const QMap<QString, QString> &additionalParameters = {},
                             const QMap<QString, QString> &additionalHeaders = {});

    // The code exchange or the refresh that follows `request`, with the
    // grant's credential (the code or the refresh token); none, with a
    // warning, when the credential is missing.
    static std::optional<TokenRequest> following(const AuthorizationRequest &request,
                                                 const QString &grantType,
                                                 const std::optional<QString> &credential,
                                                 const QMap<QString, QString> &additionalParameters);

    // The form-encoded POST to the token endpoint, with client
    // authentication: HTTP Basic when a secret exists, else client_id in the body.
    rest::HttpRequest urlRequest() const;

    friend bool operator==(const TokenRequest &, const TokenRequest &) = default;
};

} // namespace oauth
