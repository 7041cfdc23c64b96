// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/AuthorizationService.h"

#include "oauth/OAuthError.h"
#include "oauth/ParsedIDToken.h"
#include "rest/HttpsTransport.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>

#include <variant>

namespace oauth {

static Error idTokenInvalid(const QString &text)
{
    return generalError(IDTokenFailedValidationError, std::nullopt, text);
}

std::optional<Error> validateIDToken(const TokenResponse &response,
                                     const std::optional<AuthorizationResponse> &original)
{
    if (!response.idToken)
        return std::nullopt;
    const auto token = ParsedIDToken::parse(*response.idToken);
    if (!token)
        return generalError(IDTokenParsingError, std::nullopt, QStringLiteral("ID Token parsing failed"));
    const TokenRequest &request = response.request;
    if (!request.configuration.issuer.isEmpty() && token->issuer != request.configuration.issuer)
        return idTokenInvalid(QStringLiteral("Issuer mismatch"));
    const QJsonValue azp = token->claims.value(QStringLiteral("azp"));
    if (!token->audience.contains(request.clientID)
        && !(azp.isString() && azp.toString() == request.clientID))
        return idTokenInvalid(QStringLiteral("Audience mismatch"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (token->expiresAt < now)
        return idTokenInvalid(QStringLiteral("ID Token expired"));
    if (qAbs(token->issuedAt.secsTo(now)) > IDTokenIssuedAtTolerance)
        return idTokenInvalid(QStringLiteral("Issued at time is more than %1 seconds before or "
                                             "after the current time")
                                  .arg(IDTokenIssuedAtTolerance));
    if (request.grantType == GrantTypeAuthorizationCode && original && original->request.nonce
        && token->nonce != original->request.nonce)
        return idTokenInvalid(QStringLiteral("Nonce mismatch"));
    return std::nullopt;
}

std::variant<TokenResponse, Error> parseTokenResponse(const TokenRequest &request, const QByteArray &body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const Error parserError = Error::make(QStringLiteral("json"), parseError.error,
                                              parseError.errorString());
        return generalError(
            JSONDeserializationError, parserError,
            QStringLiteral("JSON error parsing token response: %1").arg(parseError.errorString()));
    }
    if (!document.isObject())
        return generalError(TokenResponseConstructionError, std::nullopt,
                            QStringLiteral("Token response invalid."));
    return TokenResponse::fromJson(request, document.object());
}

Error tokenRequestFailure(const TokenRequest &request, int status, const QByteArray &body)
{
    const Error httpError = remoteHTTPError(status, body);
    if (status >= 400 && status < 500) {
        const QJsonDocument document = QJsonDocument::fromJson(body);
        if (document.isObject() && document.object().contains(QStringLiteral("error")))
            return oauthError(TokenErrorDomain, document.object(), httpError);
    }
    return generalError(ServerError, httpError,
                        QStringLiteral("Non-200 HTTP response (%1) making token request to '%2'.")
                            .arg(status)
                            .arg(request.configuration.tokenEndpoint.toString()));
}

void performTokenRequest(const TokenRequest &request,
                         const std::optional<AuthorizationResponse> &originalAuthorizationResponse,
                         Completion<TokenResponse> callback)
{
    // The code, the verifier, the secret and the refresh token never go out in clear.
    if (auto insecure = insecureEndpointError(request.configuration.tokenEndpoint)) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [callback, error = *insecure] { callback(std::nullopt, error); },
            Qt::QueuedConnection);
        return;
    }
    rest::HttpsTransport::shared().dataTask(
        request.urlRequest(),
        [request, original = originalAuthorizationResponse, callback](
            const QByteArray &body, const rest::HttpResponse &response, std::optional<Error> transport) {
            if (transport) {
                callback(std::nullopt, generalError(NetworkError, transport,
                                                    QStringLiteral("Connection error making token request to "
                                                                   "'%1': %2.")
                                                        .arg(request.configuration.tokenEndpoint.toString(),
                                                             transport->description())));
                return;
            }
            if (response.statusCode != 200) {
                callback(std::nullopt, tokenRequestFailure(request, response.statusCode, body));
                return;
            }
            auto parsed = parseTokenResponse(request, body);
            if (auto *error = std::get_if<Error>(&parsed)) {
                callback(std::nullopt, *error);
                return;
            }
            auto tokenResponse = std::get<TokenResponse>(std::move(parsed));
            if (auto invalid = validateIDToken(tokenResponse, original)) {
                callback(std::nullopt, *invalid);
                return;
            }
            callback(std::move(tokenResponse), std::nullopt);
        });
}

} // namespace oauth
