// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/PresentAuthorizationRequest.h"

#include "oauth/AuthorizationService.h"
#include "oauth/AuthorizationSession.h"
#include "oauth/BrowserUserAgent.h"
#include "oauth/OAuthError.h"

namespace oauth {

namespace {

void exchangeCode(const AuthorizationResponse &response, const AuthStateCallback &callback)
{
    const std::optional<TokenRequest> exchange = response.tokenExchangeRequest();
    if (!exchange) {
        // A redirect with neither a code nor an error: nothing to exchange.
        callback(std::nullopt, Error::make(AuthorizationErrorDomain, OAuthClientError,
                                           QStringLiteral("The authorization response carries no "
                                                          "authorization code.")));
        return;
    }
    performTokenRequest(*exchange, response,
                        [response, callback](std::optional<TokenResponse> token, std::optional<Error> error) {
                            if (!token) {
                                callback(std::nullopt, error);
                                return;
                            }
                            callback(AuthState::create(response, *token), std::nullopt);
                        });
}

} // namespace

std::shared_ptr<AuthorizationSession> presentAuthorizationRequest(const AuthorizationRequest &request,
                                                                  AuthStateCallback callback)
{
    auto agent = std::make_shared<BrowserUserAgent>();
    auto session = std::make_shared<AuthorizationSession>(
        request, [callback](std::optional<AuthorizationResponse> response, std::optional<Error> error) {
            if (!response) {
                callback(std::nullopt, error);
                return;
            }
            if (response->request.responseType == ResponseTypeCode)
                exchangeCode(*response, callback);
            else
                callback(AuthState::create(*response), std::nullopt);
        });
    session->setDismissHandler([agent] { agent->dismiss(); });
    // The sign-in page and its answer must not travel in clear.
    if (auto insecure = insecureEndpointError(request.configuration.authorizationEndpoint))
        session->failAuthorizationFlowWithError(*insecure);
    else
        agent->presentExternalUserAgentRequest(request, session);
    return session;
}

} // namespace oauth
