// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/GoogleAuthService.h"

#include "accounts/IDToken.h"
#include "accounts/OAuthConfig.h"
#include "accounts/SignInPage.h"
#include "oauth/AuthSession.h"
#include "oauth/PresentAuthorizationRequest.h"
#include "oauth/RedirectHTTPHandler.h"
#include "oauth/ServiceConfiguration.h"
#include "accounts/AuthError.h"
#include "support/Completion.h"
#include "core/Provider.h"

#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

namespace {

const QString UnknownAccount = QStringLiteral("unknown@account");
// How long the listener stays up after a sign-in for the browser to fetch
// its closing page.
constexpr int PageLingerMs = 30000;

// Answers the browser's /done with `page`, then keeps the listener up a
// little while for a browser that asks late.
void endWithPage(const std::shared_ptr<oauth::RedirectHTTPHandler> &handler, const QByteArray &page)
{
    // Still waiting for the redirect: no browser will ask for the page.
    if (handler->currentAuthorizationFlow()) {
        handler->cancelHTTPListener();
        return;
    }
    handler->showPage(page);
    QTimer::singleShot(PageLingerMs, QCoreApplication::instance(),
                       [handler] { handler->cancelHTTPListener(); });
}

QMap<QString, QString> signInParameters()
{
    // Asked on every sign-in, so that the provider always hands out a
    // refresh token, also to an account signing in again.
    return {{QStringLiteral("access_type"), QStringLiteral("offline")},
            {QStringLiteral("prompt"), QStringLiteral("consent")}};
}

QCoro::Task<oauth::ServiceConfiguration> discover()
{
    auto discovered = awaitCompletion<oauth::ServiceConfiguration>(
        [](Completion<oauth::ServiceConfiguration> done) {
            oauth::discoverServiceConfiguration(Provider::current().issuer, std::move(done));
        },
        toError(AuthError::discoveryFailed));
    co_return co_await std::move(discovered);
}

// Opens the browser and waits for the redirect and the code exchange.
QCoro::Task<std::shared_ptr<oauth::AuthState>> authorize(oauth::AuthorizationRequest request,
                                                         std::shared_ptr<oauth::RedirectHTTPHandler> handler)
{
    auto flow = awaitCompletion<std::shared_ptr<oauth::AuthState>>(
        [request = std::move(request), handler](oauth::AuthStateCallback done) {
            // Routed to the listener before control returns to the event
            // loop, so no redirect can arrive in between.
            handler->setCurrentAuthorizationFlow(
                oauth::presentAuthorizationRequest(request, std::move(done)));
        },
        toError(AuthError::cancelled));
    auto state = co_await std::move(flow);
    if (!state)
        throw toError(AuthError::cancelled);
    co_return state;
}

} // namespace

Account GoogleAuthService::makeAccount(const oauth::AuthState &authState)
{
    std::optional<QString> idToken;
    if (const auto &tokenResponse = authState.lastTokenResponse())
        idToken = tokenResponse->idToken;
    if (!idToken)
        idToken = authState.lastAuthorizationResponse().idToken;
    const std::optional<IDToken::Claims> claims = idToken ? IDToken::claims(*idToken) : std::nullopt;
    if (!claims)
        return Account{UnknownAccount, UnknownAccount, UnknownAccount};
    const QString email = claims->email.value_or(UnknownAccount);
    return Account{claims->sub.value_or(email), email, claims->name.value_or(email)};
}

void GoogleAuthService::setPendingRedirectHandler(std::shared_ptr<oauth::RedirectHTTPHandler> handler)
{
    if (handler == m_pendingRedirectHandler)
        return;
    m_pendingRedirectHandler = std::move(handler);
    emit pendingRedirectHandlerChanged();
}

QCoro::Task<void> GoogleAuthService::addAccount()
{
    const std::optional<OAuthConfig> &config = OAuthConfig::current();
    if (!config)
        throw toError(AuthError::notConfigured);
    QPointer<GoogleAuthService> self(this);
    const oauth::ServiceConfiguration configuration = co_await discover();
    if (!self)
        throw toError(AuthError::cancelled);

    auto handler = std::make_shared<oauth::RedirectHTTPHandler>();
    handler->setPageToCome(true);
    setPendingRedirectHandler(handler);
    QByteArray page = SignInPage::failed(toError(AuthError::cancelled).description());
    const auto endOfSignIn = qScopeGuard([self, handler, &page] {
        endWithPage(handler, page);
        if (self)
            self->setPendingRedirectHandler(nullptr);
    });

    Error listenerError;
    const std::optional<QUrl> redirectURL = handler->startHTTPListener(&listenerError);
    if (!redirectURL) {
        throw listenerError.domain().isEmpty() ? toError(AuthError::discoveryFailed) : listenerError;
    }
    const auto request = oauth::AuthorizationRequest::make(
        configuration, config->clientID, config->clientSecret, GoogleScopes::all(), *redirectURL,
        oauth::ResponseTypeCode, signInParameters());
    try {
        const std::shared_ptr<oauth::AuthState> state = co_await authorize(request, handler);
        if (!self)
            throw toError(AuthError::cancelled);
        const Account account = makeAccount(*state);
        co_await saveSession(account, state);
        if (!self)
            throw toError(AuthError::cancelled);
        upsert(account, true);
        page = SignInPage::signedIn(account.email);
    } catch (const Error &error) {
        page = SignInPage::failed(error.description());
        throw;
    }
}
