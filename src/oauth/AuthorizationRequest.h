// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/ServiceConfiguration.h"

#include <QMap>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace oauth {

inline const QString ResponseTypeCode = QStringLiteral("code");
inline const QString CodeChallengeMethodS256 = QStringLiteral("S256");

// One authorization-code request with PKCE. Build it with `make`, which draws
// a fresh verifier, state and nonce; treat it as immutable afterwards.
struct AuthorizationRequest
{
    ServiceConfiguration configuration;
    QString responseType = ResponseTypeCode;
    QString clientID;
    std::optional<QString> clientSecret;
    std::optional<QString> scope; // the scopes joined by one space
    QUrl redirectURL;
    std::optional<QString> state;
    std::optional<QString> nonce;
    std::optional<QString> codeVerifier;
    std::optional<QString> codeChallenge;
    std::optional<QString> codeChallengeMethod;
    QMap<QString, QString> additionalParameters;

    // Throws std::invalid_argument for a response type other than "code" or
    // "code id_token", or for a scope outside the RFC 6749 scope-token set:
    // both are mistakes of the calling code, not of the user.
    static AuthorizationRequest make(const ServiceConfiguration &configuration, const QString &clientID,
                                     const std::optional<QString> &clientSecret, const QStringList &scopes,
                                     const QUrl &redirectURL, const QString &responseType = ResponseTypeCode,
                                     const QMap<QString, QString> &additionalParameters = {});

    // The URL to open in the browser.
    QUrl authorizationRequestURL() const;
    QUrl externalUserAgentRequestURL() const { return authorizationRequestURL(); }

    // A short description that leaves out the verifier and the secret.
    QString description() const;

    friend bool operator==(const AuthorizationRequest &, const AuthorizationRequest &) = default;
};

// base64url(SHA-256(verifier)) without padding.
QString codeChallengeS256(const QString &codeVerifier);

} // namespace oauth
