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
    mapping.takeTokenMembers(response);
    response.additionalParameters = mapping.remaining();
    return response;
}

std::optional<TokenRequest> AuthorizationResponse::tokenExchangeRequest(
    const QMap<QString, QString> &additionalParameters) const
{
    return TokenRequest::following(request, GrantTypeAuthorizationCode, authorizationCode,
                                   additionalParameters);
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
