// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/TokenRequest.h"

#include "oauth/Encoding.h"

#include <stdexcept>

namespace oauth {

std::optional<TokenRequest> TokenRequest::following(const AuthorizationRequest &request,
                                                    const QString &grantType,
                                                    const std::optional<QString> &credential,
                                                    const QMap<QString, QString> &additionalParameters)
{
    const bool refresh = grantType == GrantTypeRefreshToken;
    if (!credential) {
        qWarning("No %s to make a token request from.", refresh ? "refresh token" : "authorization code");
        return std::nullopt;
    }
    const std::optional<QString> none;
    return make(request.configuration, grantType, refresh ? none : credential,
                refresh ? QUrl() : request.redirectURL, request.clientID, request.clientSecret, none,
                refresh ? credential : none, refresh ? none : request.codeVerifier, additionalParameters);
}

TokenRequest TokenRequest::make(const ServiceConfiguration &configuration, const QString &grantType,
                                const std::optional<QString> &authorizationCode, const QUrl &redirectURL,
                                const QString &clientID, const std::optional<QString> &clientSecret,
                                const std::optional<QString> &scope,
                                const std::optional<QString> &refreshToken,
                                const std::optional<QString> &codeVerifier,
                                const QMap<QString, QString> &additionalParameters,
                                const QMap<QString, QString> &additionalHeaders)
{
    if (grantType == GrantTypeAuthorizationCode && redirectURL.isEmpty())
        throw std::invalid_argument("A TokenRequest was created with a grant_type that requires "
                                    "a redirectURL, but a null redirectURL was given");
    return {configuration,    grantType, authorizationCode, redirectURL,  clientID,
            clientSecret,     scope,     refreshToken,      codeVerifier, additionalParameters,
            additionalHeaders};
}

rest::HttpRequest TokenRequest::urlRequest() const
{
    QList<std::pair<QString, QString>> body;
    auto add = [&body](const char *name, const std::optional<QString> &value) {
        if (value)
            body.append({QLatin1String(name), *value});
    };
    add("grant_type", grantType);
    add("scope", scope);
    if (!redirectURL.isEmpty())
        add("redirect_uri", redirectURL.toString(QUrl::FullyEncoded));
    add("refresh_token", refreshToken);
    add("code", authorizationCode);
    add("code_verifier", codeVerifier);
    for (auto it = additionalParameters.cbegin(); it != additionalParameters.cend(); ++it)
        body.append({it.key(), it.value()});

    rest::HttpRequest request;
    request.url = configuration.tokenEndpoint;
    request.method = "POST";
    request.setHeader("Content-Type", "application/x-www-form-urlencoded; charset=UTF-8");
    if (clientSecret) {
        const QString pair = formEncode(clientID) + u':' + formEncode(*clientSecret);
        request.setHeader("Authorization", "Basic " + pair.toUtf8().toBase64());
    } else {
        body.append({QStringLiteral("client_id"), clientID});
    }
    QStringList pairs;
    for (const auto &[name, value] : body)
        pairs.append(encodeQueryPart(name) + u'=' + encodeQueryPart(value));
    request.body = pairs.join(u'&').toUtf8();
    for (auto it = additionalHeaders.cbegin(); it != additionalHeaders.cend(); ++it)
        request.setHeader(it.key().toUtf8(), it.value().toUtf8());
    return request;
}

} // namespace oauth
