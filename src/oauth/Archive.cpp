// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/Archive.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace oauth::archive {

namespace {

const QString RootKey = QStringLiteral("root");
const QString VersionKey = QStringLiteral("version");
const QString ArchiverKey = QStringLiteral("archiver");
const QString ArchiverName = QStringLiteral("tarnlight.session");

// Reads the fields of one archived object; any field of the wrong type marks
// the whole object as bad.
class Reader
{
public:
    Reader(const QJsonValue &value, const char *className)
        : m_object(value.toObject()),
          m_ok(value.isObject() && m_object.value(ClassKey).toString() == QLatin1String(className))
    {}
    bool ok() const { return m_ok; }
    QJsonValue raw(const char *key) const { return m_object.value(QLatin1String(key)); }

    std::optional<QString> string(const char *key)
    {
        const QJsonValue value = raw(key);
        if (value.isString())
            return value.toString();
        m_ok &= value.isUndefined() || value.isNull();
        return std::nullopt;
    }
    QString requiredString(const char *key)
    {
        const auto value = string(key);
        m_ok &= value.has_value();
        return value.value_or(QString());
    }
    QUrl url(const char *key)
    {
        const auto text = string(key);
        if (!text)
            return {};
        const QUrl url(*text, QUrl::StrictMode);
        m_ok &= url.isValid();
        return url;
    }
    std::optional<QDateTime> date(const char *key)
    {
        const auto text = string(key);
        if (!text)
            return std::nullopt;
        const QDateTime date = QDateTime::fromString(*text, Qt::ISODateWithMs);
        m_ok &= date.isValid();
        return date.isValid() ? std::optional<QDateTime>(date) : std::nullopt;
    }
    bool boolean(const char *key)
    {
        const QJsonValue value = raw(key);
        m_ok &= value.isBool() || value.isUndefined() || value.isNull();
        return value.toBool();
    }
    QJsonObject object(const char *key)
    {
        const QJsonValue value = raw(key);
        m_ok &= value.isObject() || value.isUndefined() || value.isNull();
        return value.toObject();
    }
    QMap<QString, QString> stringMap(const char *key)
    {
        QMap<QString, QString> map;
        const QJsonObject object = this->object(key);
        for (auto it = object.begin(); it != object.end(); ++it) {
            m_ok &= it.value().isString();
            map.insert(it.key(), it.value().toString());
        }
        return map;
    }
    template<typename T>
    T require(std::optional<T> value)
    {
        m_ok &= value.has_value();
        return value ? std::move(*value) : T();
    }
    void check(bool condition) { m_ok &= condition; }

private:
    QJsonObject m_object;
    bool m_ok;
};

QJsonObject tagged(const char *className)
{
    return QJsonObject{{ClassKey, QLatin1String(className)}};
}

void put(QJsonObject &object, const char *key, const std::optional<QString> &value)
{
    if (value)
        object.insert(QLatin1String(key), *value);
}

void put(QJsonObject &object, const char *key, const QUrl &url)
{
    if (!url.isEmpty())
        object.insert(QLatin1String(key), url.toString(QUrl::FullyEncoded));
}

void put(QJsonObject &object, const char *key, const std::optional<QDateTime> &date)
{
    if (date)
        object.insert(QLatin1String(key), date->toUTC().toString(Qt::ISODateWithMs));
}

QJsonObject stringMapObject(const QMap<QString, QString> &map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QJsonObject encodeError(const Error &error)
{
    QJsonObject object = tagged("Error");
    object.insert(QStringLiteral("domain"), error.domain());
    object.insert(QStringLiteral("code"), error.code());
    return object;
}

std::optional<Error> decodeError(const QJsonValue &value, bool *ok)
{
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    Reader reader(value, "Error");
    const QString domain = reader.requiredString("domain");
    const QJsonValue code = reader.raw("code");
    *ok &= reader.ok() && code.isDouble();
    return Error(domain, code.toInt());
}

} // namespace

QJsonObject encode(const ServiceConfiguration &configuration)
{
    QJsonObject object = tagged("ServiceConfiguration");
    put(object, "authorizationEndpoint", configuration.authorizationEndpoint);
    put(object, "tokenEndpoint", configuration.tokenEndpoint);
    put(object, "issuer", configuration.issuer);
    put(object, "registrationEndpoint", configuration.registrationEndpoint);
    put(object, "endSessionEndpoint", configuration.endSessionEndpoint);
    if (configuration.discoveryDocument) {
        QJsonObject discovery = tagged("ServiceDiscovery");
        discovery.insert(QStringLiteral("discoveryDictionary"),
                         configuration.discoveryDocument->discoveryDictionary);
        object.insert(QStringLiteral("discoveryDocument"), discovery);
    }
    return object;
}

std::optional<ServiceConfiguration> decodeServiceConfiguration(const QJsonValue &value)
{
    Reader reader(value, "ServiceConfiguration");
    ServiceConfiguration configuration;
    configuration.authorizationEndpoint = reader.url("authorizationEndpoint");
    configuration.tokenEndpoint = reader.url("tokenEndpoint");
    configuration.issuer = reader.url("issuer");
    configuration.registrationEndpoint = reader.url("registrationEndpoint");
    configuration.endSessionEndpoint = reader.url("endSessionEndpoint");
    const QJsonValue discovery = reader.raw("discoveryDocument");
    if (!discovery.isUndefined() && !discovery.isNull()) {
        Reader discoveryReader(discovery, "ServiceDiscovery");
        const QJsonValue dictionary = discoveryReader.raw("discoveryDictionary");
        reader.check(discoveryReader.ok() && dictionary.isObject());
        configuration.discoveryDocument = ServiceDiscovery{dictionary.toObject()};
    }
    reader.check(!configuration.tokenEndpoint.isEmpty());
    return reader.ok() ? std::optional(configuration) : std::nullopt;
}

QJsonObject encode(const AuthorizationRequest &request)
{
    QJsonObject object = tagged("AuthorizationRequest");
    object.insert(QStringLiteral("configuration"), encode(request.configuration));
    object.insert(QStringLiteral("response_type"), request.responseType);
    object.insert(QStringLiteral("client_id"), request.clientID);
    put(object, "client_secret", request.clientSecret);
    put(object, "scope", request.scope);
    put(object, "redirect_uri", request.redirectURL);
    put(object, "state", request.state);
    put(object, "nonce", request.nonce);
    put(object, "code_verifier", request.codeVerifier);
    put(object, "code_challenge", request.codeChallenge);
    put(object, "code_challenge_method", request.codeChallengeMethod);
    object.insert(QStringLiteral("additionalParameters"), stringMapObject(request.additionalParameters));
    return object;
}

std::optional<AuthorizationRequest> decodeAuthorizationRequest(const QJsonValue &value)
{
    Reader reader(value, "AuthorizationRequest");
    AuthorizationRequest request;
    request.configuration = reader.require(decodeServiceConfiguration(reader.raw("configuration")));
    request.responseType = reader.requiredString("response_type");
    request.clientID = reader.requiredString("client_id");
    request.clientSecret = reader.string("client_secret");
    request.scope = reader.string("scope");
    request.redirectURL = reader.url("redirect_uri");
    request.state = reader.string("state");
    request.nonce = reader.string("nonce");
    request.codeVerifier = reader.string("code_verifier");
    request.codeChallenge = reader.string("code_challenge");
    request.codeChallengeMethod = reader.string("code_challenge_method");
    request.additionalParameters = reader.stringMap("additionalParameters");
    return reader.ok() ? std::optional(request) : std::nullopt;
}

QJsonObject encode(const AuthorizationResponse &response)
{
    QJsonObject object = tagged("AuthorizationResponse");
    object.insert(QStringLiteral("request"), encode(response.request));
    object.insert(QStringLiteral("additionalParameters"), response.additionalParameters);
    put(object, "code", response.authorizationCode);
    put(object, "state", response.state);
    put(object, "access_token", response.accessToken);
    put(object, "expires_in", response.accessTokenExpirationDate);
    put(object, "token_type", response.tokenType);
    put(object, "id_token", response.idToken);
    put(object, "scope", response.scope);
    return object;
}

std::optional<AuthorizationResponse> decodeAuthorizationResponse(const QJsonValue &value)
{
    Reader reader(value, "AuthorizationResponse");
    AuthorizationResponse response;
    response.request = reader.require(decodeAuthorizationRequest(reader.raw("request")));
    response.additionalParameters = reader.object("additionalParameters");
    response.authorizationCode = reader.string("code");
    response.state = reader.string("state");
    response.accessToken = reader.string("access_token");
    response.accessTokenExpirationDate = reader.date("expires_in");
    response.tokenType = reader.string("token_type");
    response.idToken = reader.string("id_token");
    response.scope = reader.string("scope");
    return reader.ok() ? std::optional(response) : std::nullopt;
}

QJsonObject encode(const TokenRequest &request)
{
    QJsonObject object = tagged("TokenRequest");
    object.insert(QStringLiteral("configuration"), encode(request.configuration));
    object.insert(QStringLiteral("grant_type"), request.grantType);
    put(object, "code", request.authorizationCode);
    put(object, "redirect_uri", request.redirectURL);
    object.insert(QStringLiteral("client_id"), request.clientID);
    put(object, "client_secret", request.clientSecret);
    put(object, "scope", request.scope);
    put(object, "refresh_token", request.refreshToken);
    put(object, "code_verifier", request.codeVerifier);
    object.insert(QStringLiteral("additionalParameters"), stringMapObject(request.additionalParameters));
    object.insert(QStringLiteral("additionalHeaders"), stringMapObject(request.additionalHeaders));
    return object;
}

std::optional<TokenRequest> decodeTokenRequest(const QJsonValue &value)
{
    Reader reader(value, "TokenRequest");
    TokenRequest request;
    request.configuration = reader.require(decodeServiceConfiguration(reader.raw("configuration")));
    request.grantType = reader.requiredString("grant_type");
    request.authorizationCode = reader.string("code");
    request.redirectURL = reader.url("redirect_uri");
    request.clientID = reader.requiredString("client_id");
    request.clientSecret = reader.string("client_secret");
    request.scope = reader.string("scope");
    request.refreshToken = reader.string("refresh_token");
    request.codeVerifier = reader.string("code_verifier");
    request.additionalParameters = reader.stringMap("additionalParameters");
    request.additionalHeaders = reader.stringMap("additionalHeaders");
    return reader.ok() ? std::optional(request) : std::nullopt;
}

QJsonObject encode(const TokenResponse &response)
{
    QJsonObject object = tagged("TokenResponse");
    object.insert(QStringLiteral("request"), encode(response.request));
    object.insert(QStringLiteral("additionalParameters"), response.additionalParameters);
    put(object, "access_token", response.accessToken);
    put(object, "expires_in", response.accessTokenExpirationDate);
    put(object, "token_type", response.tokenType);
    put(object, "id_token", response.idToken);
    put(object, "refresh_token", response.refreshToken);
    put(object, "scope", response.scope);
    return object;
}

std::optional<TokenResponse> decodeTokenResponse(const QJsonValue &value)
{
    Reader reader(value, "TokenResponse");
    TokenResponse response;
    response.request = reader.require(decodeTokenRequest(reader.raw("request")));
    response.additionalParameters = reader.object("additionalParameters");
    response.accessToken = reader.string("access_token");
    response.accessTokenExpirationDate = reader.date("expires_in");
    response.tokenType = reader.string("token_type");
    response.idToken = reader.string("id_token");
    response.refreshToken = reader.string("refresh_token");
    response.scope = reader.string("scope");
    return reader.ok() ? std::optional(response) : std::nullopt;
}

QJsonObject encode(const AuthState &state)
{
    QJsonObject object = tagged("AuthState");
    object.insert(QStringLiteral("lastAuthorizationResponse"), encode(state.lastAuthorizationResponse()));
    if (state.lastTokenResponse())
        object.insert(QStringLiteral("lastTokenResponse"), encode(*state.lastTokenResponse()));
    if (state.authorizationError())
        object.insert(QStringLiteral("authorizationError"), encodeError(*state.authorizationError()));
    put(object, "scope", state.scope());
    put(object, "refreshToken", state.refreshToken());
    object.insert(QStringLiteral("needsTokenRefresh"), state.needsTokenRefresh());
    return object;
}

std::shared_ptr<AuthState> decodeAuthState(const QJsonValue &value)
{
    Reader reader(value, "AuthState");
    const auto authorization = decodeAuthorizationResponse(reader.raw("lastAuthorizationResponse"));
    std::optional<TokenResponse> token;
    const QJsonValue tokenValue = reader.raw("lastTokenResponse");
    if (!tokenValue.isUndefined() && !tokenValue.isNull()) {
        token = decodeTokenResponse(tokenValue);
        reader.check(token.has_value());
    }
    bool errorOk = true;
    auto error = decodeError(reader.raw("authorizationError"), &errorOk);
    const auto scope = reader.string("scope");
    const auto refreshToken = reader.string("refreshToken");
    const bool needsRefresh = reader.boolean("needsTokenRefresh");
    if (!reader.ok() || !errorOk || !authorization)
        return nullptr;
    auto state = AuthState::create(*authorization, token);
    state->restore(scope, refreshToken, error, needsRefresh);
    return state;
}

QJsonObject encode(const AuthSession &session)
{
    QJsonObject object = tagged("AuthSession");
    object.insert(QStringLiteral("authState"), encode(*session.authState()));
    put(object, "serviceProvider", session.serviceProvider);
    put(object, "userID", session.userID);
    put(object, "userEmail", session.userEmail);
    put(object, "userEmailIsVerified", session.userEmailIsVerified);
    return object;
}

std::shared_ptr<AuthSession> decodeAuthSession(const QJsonValue &value)
{
    Reader reader(value, "AuthSession");
    auto state = decodeAuthState(reader.raw("authState"));
    const auto serviceProvider = reader.string("serviceProvider");
    const auto userID = reader.string("userID");
    const auto userEmail = reader.string("userEmail");
    const auto verified = reader.string("userEmailIsVerified");
    if (!reader.ok() || !state)
        return nullptr;
    auto session = std::make_shared<AuthSession>(state);
    session->serviceProvider = serviceProvider;
    session->userID = userID;
    session->userEmail = userEmail;
    session->userEmailIsVerified = verified;
    return session;
}

QByteArray archiveAuthSession(const AuthSession &session)
{
    const QJsonObject envelope{
        {ArchiverKey, ArchiverName}, {VersionKey, FormatVersion}, {RootKey, encode(session)}};
    return QJsonDocument(envelope).toJson(QJsonDocument::Compact);
}

std::shared_ptr<AuthSession> unarchiveAuthSession(const QByteArray &data)
{
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!document.isObject())
        return nullptr;
    const QJsonObject envelope = document.object();
    if (envelope.value(ArchiverKey).toString() != ArchiverName
        || envelope.value(VersionKey).toInt(-1) != FormatVersion)
        return nullptr;
    return decodeAuthSession(envelope.value(RootKey));
}

} // namespace oauth::archive
