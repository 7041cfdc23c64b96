// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/AuthorizationResponse.h"

#include "oauth/FieldMapping.h"

#include <QJsonDocument>
#include <QtGlobal>

namespace oauth {

AuthorizationResponse AuthorizationResponse::fromParameters(const AuthorizationRequest &request,
                                                            const QJsonObject &parameters)
{
    AuthorizationResponse response;
    response.request = request;
    FieldMapping mapping(parameters);
    response.authorizationCode = mapping.takeString(QStringLiteral("code"));
    response.state = mapping.takeString(QStringLiteral("state"));
    response.accessToken = mapping.takeString(QStringLiteral("access_token"));
    response.accessTokenExpirationDate = mapping.takeExpiry(QStringLiteral("expires_in"));
    response.tokenType = mapping.takeString(QStringLiteral("token_type"));
    response.idToken = mapping.takeString(QStringLiteral("id_token"));
    response.scope = mapping.takeString(QStringLiteral("scope"));
    response.additionalParameters = mapping.remaining();
    return response;
}

std::optional<TokenRequest> AuthorizationResponse::tokenExchangeRequest(
    const QMap<QString, QString> &additionalParameters) const
{
    if (!authorizationCode) {
        qWarning("Attempted to create a token exchange request from an authorization response "
                 "with no authorization code.");
        return std::nullopt;
    }
    return TokenRequest::make(request.configuration, GrantTypeAuthorizationCode, authorizationCode,
                              request.redirectURL, request.clientID, request.clientSecret, std::nullopt,
                              std::nullopt, request.codeVerifier, additionalParameters);
}

QString AuthorizationResponse::description() const
{
    const QString extra = QString::fromUtf8(
        QJsonDocument(additionalParameters).toJson(QJsonDocument::Compact));
    return QStringLiteral("<AuthorizationResponse: authorizationCode: %1, state: \"%2\", "
                          "accessToken: %3, idToken: %4, additionalParameters: %5>")
        .arg(authorizationCode ? QStringLiteral("[redacted]") : QStringLiteral("none"),
             state.value_or(QString()), accessToken ? QStringLiteral("[redacted]") : QStringLiteral("none"),
             idToken ? QStringLiteral("[redacted]") : QStringLiteral("none"), extra);
}

} // namespace oauth
