// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthorizationRequest.h"
#include "oauth/TokenRequest.h"

#include <QDateTime>
#include <QJsonObject>

#include <optional>

namespace oauth {

// The parameters of the provider's redirect, tied to the request they answer.
struct AuthorizationResponse
{
    AuthorizationRequest request;
    std::optional<QString> authorizationCode; // "code"
    std::optional<QString> state;             // "state"
    std::optional<QString> accessToken;       // "access_token"
    std::optional<QDateTime> accessTokenExpirationDate;
    std::optional<QString> tokenType; // "token_type"
    std::optional<QString> idToken;   // "id_token"
    std::optional<QString> scope;     // "scope"
    QJsonObject additionalParameters;

    static AuthorizationResponse fromParameters(const AuthorizationRequest &request,
                                                const QJsonObject &parameters);

    // The code exchange for this response; nullopt when it carries no code.
    std::optional<TokenRequest> tokenExchangeRequest(
        const QMap<QString, QString> &additionalParameters = {}) const;

    // Describes the response with the code and tokens redacted.
    QString description() const;

    friend bool operator==(const AuthorizationResponse &, const AuthorizationResponse &) = default;
};

} // namespace oauth
