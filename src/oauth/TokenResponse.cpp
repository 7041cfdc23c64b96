// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/TokenResponse.h"

#include "oauth/FieldMapping.h"

namespace oauth {

TokenResponse TokenResponse::fromJson(const TokenRequest &request, const QJsonObject &json)
{
    TokenResponse response{request, {}, {}, {}, {}, {}, {}, {}};
    FieldMapping mapping(json);
    mapping.takeTokenMembers(response);
    response.refreshToken = mapping.takeString(QStringLiteral("refresh_token"));
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
