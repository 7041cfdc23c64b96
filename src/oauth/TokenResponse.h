// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/TokenRequest.h"

#include <QDateTime>
#include <QJsonObject>

#include <optional>

namespace oauth {

// The token endpoint's answer, mapped from its JSON members.
struct TokenResponse
{
    TokenRequest request;
    std::optional<QString> accessToken;
    std::optional<QDateTime> accessTokenExpirationDate; // "expires_in" from the time of parsing
    std::optional<QString> tokenType;
    std::optional<QString> idToken;
    std::optional<QString> refreshToken;
    std::optional<QString> scope;
    // Every unmapped member, and mapped members of the wrong JSON type.
    QJsonObject additionalParameters;

    static TokenResponse fromJson(const TokenRequest &request, const QJsonObject &json);

    // Describes the response with every token redacted.
    QString description() const;

    friend bool operator==(const TokenResponse &, const TokenResponse &) = default;
};

} // namespace oauth
