// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/AuthState.h"

#include "oauth/AuthorizationService.h"
#include "oauth/OAuthError.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace oauth {

std::shared_ptr<AuthState> AuthState::create(const AuthorizationResponse &authorizationResponse,
                                             const std::optional<TokenResponse> &tokenResponse)
{
    auto state = std::make_shared<AuthState>(Key{}, authorizationResponse);
    state->updateWithAuthorizationResponse(authorizationResponse, std::nullopt);
    if (tokenResponse)
        state->updateWithTokenResponse(tokenResponse, std::nullopt);
    return state;
}

AuthState::AuthState(Key, AuthorizationResponse authorizationResponse)
    : m_lastAuthorizationResponse(std::move(authorizationResponse))
{}

std::optional<QString> AuthState::accessToken() const
{
    if (m_authorizationError)
        return std::nullopt;
    return m_lastTokenResponse ? m_lastTokenResponse->accessToken : m_lastAuthorizationResponse.accessToken;
}

std::optional<QDateTime> AuthState::accessTokenExpirationDate() const
{
    if (m_authorizationError)
        return std::nullopt;
    return m_lastTokenResponse ? m_lastTokenResponse->accessTokenExpirationDate
                               : m_lastAuthorizationResponse.accessTokenExpirationDate;
}

std::optional<QString> AuthState::idToken() const
{
    if (m_authorizationError)
        return std::nullopt;
    return m_lastTokenResponse ? m_lastTokenResponse->idToken : m_lastAuthorizationResponse.idToken;
}

bool AuthState::isAuthorized() const
{
    return !m_authorizationError && (accessToken() || idToken() || m_refreshToken);
}

bool AuthState::isTokenFresh() const
{
    if (m_needsTokenRefresh)
        return false;
    const auto expiry = accessTokenExpirationDate();
    if (!expiry)
        return accessToken().has_value();
    return QDateTime::currentDateTimeUtc().msecsTo(*expiry) > qint64(FreshnessMargin) * 1000;
}

void AuthState::updateWithAuthorizationResponse(const std::optional<AuthorizationResponse> &response,
                                                const std::optional<Error> &error)
{
    if (error) {
        // Only the provider's refusal ends the grant; other errors are passing.
        if (error->domain() == AuthorizationErrorDomain)
            updateWithAuthorizationError(*error);
        return;
    }
    if (!response)
        return;
    m_lastAuthorizationResponse = *response;
    m_lastTokenResponse.reset();
    m_refreshToken.reset();
    m_authorizationError.reset();
    m_scope = response->scope ? response->scope : response->request.scope;
    didChangeState();
}

void AuthState::updateWithTokenResponse(const std::optional<TokenResponse> &response,
                                        const std::optional<Error> &error)
{
    const bool clearedError = m_authorizationError.has_value();
    if (clearedError) {
        qWarning("AuthState::updateWithTokenResponse called in an error state [%s]; call "
                 "updateWithAuthorizationResponse with the result of a fresh authorization first",
                 qPrintable(m_authorizationError->description()));
        m_authorizationError.reset();
    }
    if (error && error->domain() == TokenErrorDomain) {
        updateWithAuthorizationError(*error);
        return;
    }
    if (response && !error) {
        m_lastTokenResponse = *response;
        if (response->scope)
            m_scope = response->scope;
        if (response->refreshToken)
            m_refreshToken = response->refreshToken;
    }
    if (clearedError || (response && !error))
        didChangeState();
}

void AuthState::updateWithAuthorizationError(const Error &error)
{
    m_authorizationError = error;
    didChangeState();
}

void AuthState::didChangeState()
{
    // A copy: the handler may replace itself.
    if (auto handler = m_stateChanged)
        handler();
}

void AuthState::restore(std::optional<QString> scope, std::optional<QString> refreshToken,
                        std::optional<Error> authorizationError, bool needsTokenRefresh)
{
    m_scope = std::move(scope);
    m_refreshToken = std::move(refreshToken);
    m_authorizationError = std::move(authorizationError);
    m_needsTokenRefresh = needsTokenRefresh;
}

std::optional<TokenRequest> AuthState::tokenRefreshRequest(
    const QMap<QString, QString> &additionalParameters) const
{
    return TokenRequest::following(m_lastAuthorizationResponse.request, GrantTypeRefreshToken, m_refreshToken,
                                   additionalParameters);
}

void AuthState::dispatch(const PendingAction &pending, std::optional<QString> accessToken,
                         std::optional<QString> idToken, std::optional<Error> error)
{
    QObject *context = pending.hasContext ? pending.context.data() : QCoreApplication::instance();
    if (!context)
        return;
    QMetaObject::invokeMethod(
        context,
        [action = pending.action, accessToken, idToken, error] { action(accessToken, idToken, error); },
        Qt::QueuedConnection);
}

void AuthState::performActionWithFreshTokens(FreshTokensAction action,
                                             const QMap<QString, QString> &additionalRefreshParameters,
                                             QObject *context)
{
    const PendingAction pending{std::move(action), context, context != nullptr};
    if (isTokenFresh()) {
        dispatch(pending, accessToken(), idToken(), std::nullopt);
        return;
    }
    const auto refresh = m_refreshToken ? tokenRefreshRequest(additionalRefreshParameters) : std::nullopt;
    if (!refresh) {
        dispatch(pending, std::nullopt, std::nullopt,
                 generalError(TokenRefreshError, std::nullopt,
                              QStringLiteral("Unable to refresh expired token without a refresh "
                                             "token.")));
        return;
    }
    bool startRefresh = false;
    {
        QMutexLocker lock(&m_pendingLock);
        startRefresh = m_pendingActions.isEmpty();
        m_pendingActions.append(pending);
    }
    if (!startRefresh)
        return;
    auto self = shared_from_this();
    performTokenRequest(*refresh, m_lastAuthorizationResponse,
                        [self](std::optional<TokenResponse> response, std::optional<Error> error) {
                            self->finishRefresh(response, error);
                        });
}

void AuthState::finishRefresh(const std::optional<TokenResponse> &response, const std::optional<Error> &error)
{
    if (!error) {
        m_needsTokenRefresh = false;
        updateWithTokenResponse(response, std::nullopt);
    } else if (error->domain() == TokenErrorDomain) {
        m_needsTokenRefresh = false;
        updateWithTokenResponse(std::nullopt, error);
    }
    // Any other error is transient: the state stays as it was.
    QList<PendingAction> actions;
    {
        QMutexLocker lock(&m_pendingLock);
        actions.swap(m_pendingActions);
    }
    for (const PendingAction &pending : actions)
        dispatch(pending, accessToken(), idToken(), error);
}

} // namespace oauth
