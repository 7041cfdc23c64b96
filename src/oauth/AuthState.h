// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthorizationResponse.h"
#include "oauth/TokenResponse.h"

#include <QMutex>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

namespace oauth {

// One account's token state: the sign-in's authorization response, the
// latest token response, the refresh token and whether the grant still holds.
// Always held by shared_ptr (a refresh in flight keeps it alive).
class AuthState : public std::enable_shared_from_this<AuthState>
{
    struct Key
    {};

public:
    // Seconds of remaining lifetime below which an access token is refreshed.
    static constexpr int FreshnessMargin = 60;

    // Applies the authorization response, then the token response.
    static std::shared_ptr<AuthState> create(
        const AuthorizationResponse &authorizationResponse,
        const std::optional<TokenResponse> &tokenResponse = std::nullopt);
    AuthState(Key, AuthorizationResponse authorizationResponse);

    std::optional<QString> refreshToken() const { return m_refreshToken; }
    std::optional<QString> scope() const { return m_scope; }
    const AuthorizationResponse &lastAuthorizationResponse() const { return m_lastAuthorizationResponse; }
    const std::optional<TokenResponse> &lastTokenResponse() const { return m_lastTokenResponse; }
    std::optional<Error> authorizationError() const { return m_authorizationError; }
    bool needsTokenRefresh() const { return m_needsTokenRefresh; }

    // From the token response, or the authorization response when there is
    // none; absent while an authorization error is recorded.
    std::optional<QString> accessToken() const;
    std::optional<QDateTime> accessTokenExpirationDate() const;
    std::optional<QString> idToken() const;
    bool isAuthorized() const;
    bool isTokenFresh() const;

    // The one observer, told after every change of the tokens or of the
    // grant's validity (a refresh's answer, a recorded error), so that a
    // holder can store the state again. Runs on the thread of the change.
    void setStateChangeHandler(std::function<void()> handler) { m_stateChanged = std::move(handler); }

    void setNeedsTokenRefresh(bool needsRefresh = true) { m_needsTokenRefresh = needsRefresh; }
    void updateWithAuthorizationResponse(const std::optional<AuthorizationResponse> &response,
                                         const std::optional<Error> &error);
    void updateWithTokenResponse(const std::optional<TokenResponse> &response,
                                 const std::optional<Error> &error);
    void updateWithAuthorizationError(const Error &error);

    // Restores the values an archive keeps beside the two responses.
    void restore(std::optional<QString> scope, std::optional<QString> refreshToken,
                 std::optional<Error> authorizationError, bool needsTokenRefresh);

    // A refresh for the current refresh token; nullopt when there is none.
    std::optional<TokenRequest> tokenRefreshRequest(
        const QMap<QString, QString> &additionalParameters = {}) const;

    using FreshTokensAction = std::function<void(std::optional<QString> accessToken,
                                                 std::optional<QString> idToken, std::optional<Error> error)>;
    // Runs `action` later, on `context`'s thread (the application object when
    // null), with a fresh access token: the current one when more than 60 s
    // remain, otherwise after a refresh. Concurrent callers share one refresh.
    void performActionWithFreshTokens(FreshTokensAction action,
                                      const QMap<QString, QString> &additionalRefreshParameters = {},
                                      QObject *context = nullptr);

private:
    struct PendingAction
    {
        FreshTokensAction action;
        QPointer<QObject> context;
        bool hasContext = false; // a caller's context that is gone drops the action
    };
    void finishRefresh(const std::optional<TokenResponse> &response, const std::optional<Error> &error);
    void didChangeState();
    static void dispatch(const PendingAction &pending, std::optional<QString> accessToken,
                         std::optional<QString> idToken, std::optional<Error> error);

    std::optional<QString> m_refreshToken;
    std::optional<QString> m_scope;
    AuthorizationResponse m_lastAuthorizationResponse;
    std::optional<TokenResponse> m_lastTokenResponse;
    std::optional<Error> m_authorizationError;
    bool m_needsTokenRefresh = false;
    std::function<void()> m_stateChanged;

    QMutex m_pendingLock;
    QList<PendingAction> m_pendingActions;
};

} // namespace oauth
