// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/AuthorizationRequest.h"

#include "oauth/Encoding.h"

#include <QCryptographicHash>

#include <stdexcept>

namespace oauth {

QString codeChallengeS256(const QString &codeVerifier)
{
    return base64UrlNoPadding(QCryptographicHash::hash(codeVerifier.toUtf8(), QCryptographicHash::Sha256));
}

static bool isValidResponseType(const QString &type)
{
    return type == u"code" || type == u"code id_token" || type == u"id_token code";
}

static bool isValidScopeToken(const QString &scope)
{
    if (scope.isEmpty())
        return false;
    for (QChar c : scope) {
        const char16_t u = c.unicode();
        if (!(u == '!' || (u >= '#' && u <= '[') || (u >= ']' && u <= '~')))
            return false;
    }
    return true;
}

AuthorizationRequest AuthorizationRequest::make(const ServiceConfiguration &configuration,
                                                const QString &clientID,
                                                const std::optional<QString> &clientSecret,
                                                const QStringList &scopes, const QUrl &redirectURL,
                                                const QString &responseType,
                                                const QMap<QString, QString> &additionalParameters)
{
    if (!isValidResponseType(responseType))
        throw std::invalid_argument(
            QStringLiteral("The response_type \"%1\" isn't supported. Only the \"code\" or "
                           "\"code id_token\" response_type is supported.")
                .arg(responseType)
                .toStdString());
    for (const QString &scope : scopes) {
        if (!isValidScopeToken(scope))
            throw std::invalid_argument("A scope is empty or has characters outside RFC 6749");
    }
    AuthorizationRequest request;
    request.configuration = configuration;
    request.responseType = responseType;
    request.clientID = clientID;
    request.clientSecret = clientSecret;
    if (!scopes.isEmpty())
        request.scope = scopes.join(u' ');
    request.redirectURL = redirectURL;
    request.state = randomBase64Url();
    request.nonce = randomBase64Url();
    request.codeVerifier = randomBase64Url();
    if (request.codeVerifier) {
        request.codeChallenge = codeChallengeS256(*request.codeVerifier);
        request.codeChallengeMethod = CodeChallengeMethodS256;
    }
    request.additionalParameters = additionalParameters;
    return request;
}

QUrl AuthorizationRequest::authorizationRequestURL() const
{
    QList<std::pair<QString, QString>> parameters{{QStringLiteral("response_type"), responseType},
                                                  {QStringLiteral("client_id"), clientID}};
    for (auto it = additionalParameters.cbegin(); it != additionalParameters.cend(); ++it)
        parameters.append({it.key(), it.value()});
    auto addIfPresent = [&](const char *name, const std::optional<QString> &value) {
        if (value)
            parameters.append({QLatin1String(name), *value});
    };
    if (!redirectURL.isEmpty())
        parameters.append({QStringLiteral("redirect_uri"), redirectURL.toString(QUrl::FullyEncoded)});
    addIfPresent("scope", scope);
    addIfPresent("state", state);
    addIfPresent("nonce", nonce);
    addIfPresent("code_challenge", codeChallenge);
    addIfPresent("code_challenge_method", codeChallengeMethod);

    QStringList pairs;
    for (const auto &[name, value] : parameters)
        pairs.append(encodeQueryPart(name) + u'=' + encodeQueryPart(value));
    QUrl url = configuration.authorizationEndpoint;
    url.setQuery(pairs.join(u'&'), QUrl::StrictMode);
    return url;
}

QString AuthorizationRequest::description() const
{
    return QStringLiteral("<AuthorizationRequest: %1>")
        .arg(authorizationRequestURL().toString(QUrl::RemoveQuery));
}

} // namespace oauth
