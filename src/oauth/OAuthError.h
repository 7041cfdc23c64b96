// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Error.h"

#include <QByteArray>
#include <QJsonObject>

#include <optional>

// Error domains and codes shared by the whole OAuth layer.
namespace oauth {

inline const QString GeneralErrorDomain = QStringLiteral("oauth.general");
inline const QString AuthorizationErrorDomain = QStringLiteral("oauth.authorization");
inline const QString TokenErrorDomain = QStringLiteral("oauth.token");
inline const QString RegistrationErrorDomain = QStringLiteral("oauth.registration");
inline const QString RemoteHTTPErrorDomain = QStringLiteral("oauth.remote-http");

// User-info key holding the provider's whole OAuth error response.
inline const QString OAuthErrorResponseKey = QStringLiteral("OAuthErrorResponse");

// Client-side failures, domain "oauth.general".
enum GeneralErrorCode {
    InvalidDiscoveryDocument = -2,
    UserCanceledAuthorizationFlow = -3,
    ProgramCanceledAuthorizationFlow = -4,
    NetworkError = -5,
    ServerError = -6,
    JSONDeserializationError = -7,
    TokenResponseConstructionError = -8,
    // -9 was a first way of opening the browser; its failure is BrowserOpenError now.
    BrowserOpenError = -10,
    TokenRefreshError = -11,
    IDTokenParsingError = -14,
    IDTokenFailedValidationError = -15,
};

// Codes of OAuth error responses, by their "error" value.
enum OAuthErrorCode {
    OAuthInvalidRequest = -2,
    OAuthUnauthorizedClient = -3,
    OAuthAccessDenied = -4,
    OAuthUnsupportedResponseType = -5,
    OAuthInvalidScope = -6,
    OAuthServerError = -7,
    OAuthTemporarilyUnavailable = -8,
    OAuthInvalidClient = -9,
    OAuthInvalidGrant = -10,
    OAuthUnsupportedGrantType = -11,
    OAuthClientError = -61439, // found by the client, e.g. a state mismatch
    OAuthOther = -61440,
};

// A "oauth.general" error; the description and underlying error are optional.
Error generalError(int code, const std::optional<Error> &underlying = std::nullopt,
                   const QString &description = {});

// "oauth.remote-http": code = HTTP status, description = the body as UTF-8.
Error remoteHTTPError(int status, const QByteArray &body);

// The code of an OAuth "error" value (OAuthOther for unknown values).
int oauthErrorCode(const QString &errorValue);

bool isOAuthErrorDomain(const QString &domain);

// Turns an OAuth error response into an error of `domain`. A response
// without a string "error" gives general -5 with the underlying description.
Error oauthError(const QString &domain, const QJsonObject &response,
                 const std::optional<Error> &underlying = std::nullopt);

} // namespace oauth
