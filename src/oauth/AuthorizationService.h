// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthorizationResponse.h"
#include "oauth/TokenResponse.h"
#include "support/Completion.h"

#include <optional>
#include <variant>

namespace oauth {

// How far an ID token's issued-at time may lie from now, in seconds.
inline constexpr int IDTokenIssuedAtTolerance = 600;

// Sends a token request and reports the response, or the error of its
// failure (network -5, server -6, JSON -7, invalid response -8, ID token
// -14/-15, or the provider's OAuth error in "oauth.token"). The callback runs
// once, later on the event loop. `originalAuthorizationResponse` supplies the
// nonce that an exchanged ID token must carry.
void performTokenRequest(const TokenRequest &request,
                         const std::optional<AuthorizationResponse> &originalAuthorizationResponse,
                         Completion<TokenResponse> callback);

// The token endpoint's 200 answer as a response, or the JSON (-7) or shape
// (-8) error.
std::variant<TokenResponse, Error> parseTokenResponse(const TokenRequest &request, const QByteArray &body);
// The error of any other status: the provider's OAuth error when a 4xx body
// carries one, else a server error (-6).
Error tokenRequestFailure(const TokenRequest &request, int status, const QByteArray &body);

// The ID-token checks applied to a token response (none when it has no ID
// token); nullopt when they pass.
std::optional<Error> validateIDToken(const TokenResponse &response,
                                     const std::optional<AuthorizationResponse> &original);

} // namespace oauth
