// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/AuthSession.h"

#include "oauth/ParsedIDToken.h"
#include "core/Provider.h"

namespace oauth {

static std::optional<QString> stringClaim(const QJsonObject &claims, const char *name)
{
    const QJsonValue value = claims.value(QLatin1String(name));
    return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
}

AuthSession::AuthSession(std::shared_ptr<AuthState> authState)
    : authorizesLoopbackHttp(Provider::current().isLoopback()), m_authState(std::move(authState))
{
    const auto &tokenResponse = m_authState->lastTokenResponse();
    auto idToken = tokenResponse ? tokenResponse->idToken : std::nullopt;
    if (!idToken)
        idToken = m_authState->lastAuthorizationResponse().idToken;
    const auto parsed = idToken ? ParsedIDToken::parse(*idToken) : std::nullopt;
    if (!parsed)
        return;
    userID = stringClaim(parsed->claims, "sub");
    userEmail = stringClaim(parsed->claims, "email");
    userEmailIsVerified = stringClaim(parsed->claims, "email_verified");
}

bool AuthSession::isAuthorizedRequest(const rest::HttpRequest &request) const
{
    return !request.header("Authorization").isEmpty();
}

bool AuthSession::mayAuthorize(const QUrl &url) const
{
    if (url.isEmpty() || url.isLocalFile() || shouldAuthorizeAllRequests)
        return true;
    const QString scheme = url.scheme();
    if (scheme.compare(QStringLiteral("https"), Qt::CaseInsensitive) == 0)
        return true;
    return authorizesLoopbackHttp && scheme.compare(QStringLiteral("http"), Qt::CaseInsensitive) == 0
           && isLoopbackHost(url.host());
}

int AuthSession::pendingAuthorizationCount() const
{
    QMutexLocker lock(&m_pending->lock);
    return int(m_pending->ids.size());
}

void AuthSession::authorizeRequest(const rest::HttpRequest &request, AuthorizeCompletion completion)
{
    quint64 id;
    {
        QMutexLocker lock(&m_pending->lock);
        id = m_pending->nextId++;
        m_pending->ids.append(id);
    }
    const bool mayAuthorizeRequest = mayAuthorize(request.url);
    auto pending = m_pending;
    m_authState->performActionWithFreshTokens(
        [pending, id, request, mayAuthorizeRequest, completion](
            std::optional<QString> accessToken, std::optional<QString>, std::optional<Error> refreshError) {
            {
                QMutexLocker lock(&pending->lock);
                pending->ids.removeOne(id);
            }
            rest::HttpRequest authorized = request;
            std::optional<Error> error = std::move(refreshError);
            const bool hasToken = accessToken && !accessToken->isEmpty();
            if (mayAuthorizeRequest && hasToken) {
                authorized.setHeader("Authorization", "Bearer " + accessToken->toUtf8());
                // A transient refresh failure still sends the previous token.
                error.reset();
            } else if (!error) {
                const int code = hasToken ? CannotAuthorizeRequest : AccessTokenEmptyForRequest;
                error = Error(AuthSessionErrorDomain, code,
                              QVariantMap{{AuthSessionRequestKey, request.url.toString()}});
            }
            completion(authorized, error);
        });
}

bool AuthSession::primeForRefresh()
{
    if (!m_authState->refreshToken())
        return false;
    m_authState->setNeedsTokenRefresh(true);
    return true;
}

} // namespace oauth
