// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Helpers for the OAuth tests: discovery, a consented code and a token state
// from the sandbox provider, all over real loopback HTTP.

#include "Sandbox.h"
#include "TaskRunner.h"
#include "oauth/AuthState.h"
#include "oauth/AuthorizationService.h"
#include "oauth/AuthorizationSession.h"
#include "support/Completion.h"

#include <QTest>

namespace oauthtest {

inline const QUrl RedirectURL(QStringLiteral("http://127.0.0.1:8765/"));

inline oauth::ServiceConfiguration discover(Sandbox &sandbox)
{
    auto outcome = runTask(
        awaitCompletion<oauth::ServiceConfiguration>([&](Completion<oauth::ServiceConfiguration> done) {
            oauth::discoverServiceConfiguration(sandbox.baseUrl(), std::move(done));
        }));
    if (!outcome.value)
        qFatal("discovery failed: %s", qPrintable(outcome.error ? outcome.error->description() : QString()));
    return *outcome.value;
}

inline oauth::AuthorizationRequest makeRequest(const oauth::ServiceConfiguration &configuration,
                                               const std::optional<QString> &secret,
                                               const QString &clientID = Sandbox::ClientId)
{
    return oauth::AuthorizationRequest::make(
        configuration, clientID, secret, {QStringLiteral("openid"), QStringLiteral("email")}, RedirectURL,
        oauth::ResponseTypeCode, {{QStringLiteral("access_type"), QStringLiteral("offline")}});
}

// Follows the authorization URL like a browser and returns the redirect.
inline QUrl consent(Sandbox &sandbox, const oauth::AuthorizationRequest &request)
{
    const auto reply = sandbox.send("GET", request.authorizationRequestURL());
    if (reply.status != 302)
        qFatal("authorization endpoint answered %d", reply.status);
    return QUrl(QString::fromUtf8(reply.header("Location")), QUrl::StrictMode);
}

inline oauth::AuthorizationResponse authorize(Sandbox &sandbox, const oauth::AuthorizationRequest &request)
{
    auto result = oauth::checkRedirect(request, consent(sandbox, request));
    if (!std::holds_alternative<oauth::AuthorizationResponse>(result))
        qFatal("redirect refused");
    return std::get<oauth::AuthorizationResponse>(result);
}

inline TaskOutcome<oauth::TokenResponse> performTokenRequest(
    const oauth::TokenRequest &request, const std::optional<oauth::AuthorizationResponse> &original)
{
    return runTask(awaitCompletion<oauth::TokenResponse>([&](Completion<oauth::TokenResponse> done) {
        oauth::performTokenRequest(request, original, std::move(done));
    }));
}

// A signed-in token state made through the whole code flow.
inline std::shared_ptr<oauth::AuthState> signIn(Sandbox &sandbox,
                                                const std::optional<QString> &secret = Sandbox::ClientSecret)
{
    const auto request = makeRequest(discover(sandbox), secret);
    const auto response = authorize(sandbox, request);
    const auto token = performTokenRequest(*response.tokenExchangeRequest(), response);
    if (!token.value)
        qFatal("code exchange failed: %s", qPrintable(token.error ? token.error->description() : QString()));
    return oauth::AuthState::create(response, *token.value);
}

// A token state whose tokens were minted directly for `sub`, with the given
// remaining access-token lifetime.
inline std::shared_ptr<oauth::AuthState> mintedState(Sandbox &sandbox, int expiresIn,
                                                     const QString &sub = Sandbox::AlexSub)
{
    const auto request = makeRequest(discover(sandbox), Sandbox::ClientSecret);
    auto response = oauth::AuthorizationResponse::fromParameters(
        request,
        {{QStringLiteral("code"), QStringLiteral("unused")}, {QStringLiteral("state"), *request.state}});
    const auto exchange = *response.tokenExchangeRequest();
    const QJsonObject tokens = sandbox.issueTokens(sub, expiresIn);
    return oauth::AuthState::create(response, oauth::TokenResponse::fromJson(exchange, tokens));
}

struct FreshTokens
{
    std::optional<QString> accessToken;
    std::optional<QString> idToken;
    std::optional<Error> error;
    bool called = false;
};

// Runs performActionWithFreshTokens and waits for its action.
inline FreshTokens freshTokens(const std::shared_ptr<oauth::AuthState> &state)
{
    auto result = std::make_shared<FreshTokens>();
    state->performActionWithFreshTokens(
        [result](std::optional<QString> access, std::optional<QString> id, std::optional<Error> error) {
            *result = {access, id, error, true};
        });
    TL_WAITED([&] { return result->called; }, 15000, "the action with fresh tokens");
    return *result;
}

inline int countRequests(Sandbox &sandbox, const QString &method, const QString &path)
{
    int count = 0;
    for (const QJsonValue &entry : sandbox.requestLog()) {
        const QJsonObject object = entry.toObject();
        if (object.value(QStringLiteral("method")).toString() == method
            && object.value(QStringLiteral("path")).toString() == path)
            ++count;
    }
    return count;
}

} // namespace oauthtest
