// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/TokenResponse.h"

#include "oauth/FieldMapping.h"

namespace oauth {

TokenResponse TokenResponse::fromJson(const TokenRequest &request, const QJsonObject &json)
{
    TokenResponse response{request, {}, {}, {}, {}, {}, {}, {}};
    FieldMapping mapping(json);
    response.accessToken = mapping.takeString(QStringLiteral("access_token"));
    response.accessTokenExpirationDate = mapping.takeExpiry(QStringLiteral("expires_in"));
    response.tokenType = mapping.takeString(QStringLiteral("token_type"));
    response.idToken = mapping.takeString(QStringLiteral("id_token"));
    response.refreshToken = mapping.takeString(QStringLiteral("refresh_token"));
    response.scope = mapping.takeString(QStringLiteral("scope"));
    response.additionalParameters = mapping.remaining();
    return response;
}

QString TokenResponse::description() const
{
    auto redacted = [](const std::optional<QString> &value) {
        return value ? QStringLiteral("[redacted]") : QStringLiteral("none");
    };
    return QStringLiteral("<TokenResponse: accessToken: %1, refreshToken: %2, idToken: %3, "
                          "tokenType: %4, scope: %5>")
        .arg(redacted(accessToken), redacted(refreshToken), redacted(idToken),
             tokenType.value_or(QStringLiteral("none")), scope.value_or(QStringLiteral("none")));
}

} // namespace oauth
