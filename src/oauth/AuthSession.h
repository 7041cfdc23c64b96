// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthState.h"
#include "rest/Authorizer.h"

#include <QMutex>

#include <memory>
#include <optional>

namespace oauth {

inline const QString AuthSessionErrorDomain = QStringLiteral("AuthSessionErrorDomain");
enum AuthSessionErrorCode {
    CannotAuthorizeRequest = 0,
    AccessTokenEmptyForRequest = 1,
};
// User-info key of the refused request's URL.
inline const QString AuthSessionRequestKey = QStringLiteral("request");

// The REST layer's authorizer for one account: before each request it asks
// the token state for a fresh access token (refreshing when needed) and adds
// it as a bearer header. Only https (and file) requests get the token, plus
// http to a loopback host when the provider is the loopback sandbox.
class AuthSession : public rest::Authorizer
{
public:
    // Reads the user fields from the state's ID token claims.
    explicit AuthSession(std::shared_ptr<AuthState> authState);

    std::shared_ptr<AuthState> authState() const { return m_authState; }

    std::optional<QString> serviceProvider;
    std::optional<QString> userID;              // "sub"
    std::optional<QString> userEmail;           // "email"
    std::optional<QString> userEmailIsVerified; // "email_verified", when a JSON string
    // Also authorize requests that are neither https nor file URLs.
    bool shouldAuthorizeAllRequests = false;
    // Authorize plain http to loopback hosts (on when the provider is the sandbox).
    bool authorizesLoopbackHttp = false;

    bool canAuthorize() const { return m_authState->isAuthorized(); }

    // rest::Authorizer
    bool isAuthorizedRequest(const rest::HttpRequest &request) const override;
    void authorizeRequest(const rest::HttpRequest &request, AuthorizeCompletion completion) override;
    bool offersPrimeForRefresh() const override { return true; }
    // Forces the next authorization to refresh; false without a refresh token.
    bool primeForRefresh() override;

    // May this request carry the bearer token?
    bool mayAuthorize(const QUrl &url) const;

    // Number of authorizations waiting for the token state.
    int pendingAuthorizationCount() const;

private:
    struct Pending
    {
        QMutex lock;
        QList<quint64> ids;
        quint64 nextId = 0;
    };

    std::shared_ptr<AuthState> m_authState;
    std::shared_ptr<Pending> m_pending = std::make_shared<Pending>();
};

} // namespace oauth
