// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/Archive.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <concepts>
#include <type_traits>

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

namespace {

// A record of one of the kinds, read (const) or written.
template<typename Record, typename... Kinds>
concept OneOf = (std::same_as<std::remove_const_t<Record>, Kinds> || ...);

// Each record's archived fields, listed once for both directions. A field's
// type says how it is kept: QString is required, std::optional and QUrl are
// left out when empty, maps and nested records are always written.
template<typename Archiver, OneOf<AuthorizationRequest, TokenRequest> Record>
void clientFields(Archiver &a, Record &request)
{
    a("configuration", request.configuration);
    a("client_id", request.clientID);
    a("client_secret", request.clientSecret);
    a("scope", request.scope);
    a("redirect_uri", request.redirectURL);
    a("code_verifier", request.codeVerifier);
    a("additionalParameters", request.additionalParameters);
}

template<typename Archiver, OneOf<AuthorizationRequest> Record>
void fields(Archiver &a, Record &request)
{
    clientFields(a, request);
    a("response_type", request.responseType);
    a("state", request.state);
    a("nonce", request.nonce);
    a("code_challenge", request.codeChallenge);
    a("code_challenge_method", request.codeChallengeMethod);
}

template<typename Archiver, OneOf<TokenRequest> Record>
void fields(Archiver &a, Record &request)
{
    clientFields(a, request);
    a("grant_type", request.grantType);
    a("code", request.authorizationCode);
    a("refresh_token", request.refreshToken);
    a("additionalHeaders", request.additionalHeaders);
}

template<typename Archiver, OneOf<AuthorizationResponse, TokenResponse> Record>
void tokenFields(Archiver &a, Record &response)
{
    a("request", response.request);
    a("additionalParameters", response.additionalParameters);
    a("access_token", response.accessToken);
    a("expires_in", response.accessTokenExpirationDate);
    a("token_type", response.tokenType);
    a("id_token", response.idToken);
    a("scope", response.scope);
}

template<typename Archiver, OneOf<AuthorizationResponse> Record>
void fields(Archiver &a, Record &response)
{
    tokenFields(a, response);
    a("code", response.authorizationCode);
    a("state", response.state);
}

template<typename Archiver, OneOf<TokenResponse> Record>
void fields(Archiver &a, Record &response)
{
    tokenFields(a, response);
    a("refresh_token", response.refreshToken);
}

std::optional<ServiceConfiguration> decodeNested(const QJsonValue &value, const ServiceConfiguration *)
{
    return decodeServiceConfiguration(value);
}
std::optional<AuthorizationRequest> decodeNested(const QJsonValue &value, const AuthorizationRequest *)
{
    return decodeAuthorizationRequest(value);
}
std::optional<TokenRequest> decodeNested(const QJsonValue &value, const TokenRequest *)
{
    return decodeTokenRequest(value);
}

struct FieldWriter
{
    QJsonObject object;

    void operator()(const char *key, const QString &value) { object.insert(QLatin1String(key), value); }
    void operator()(const char *key, const std::optional<QString> &value) { put(object, key, value); }
    void operator()(const char *key, const std::optional<QDateTime> &value) { put(object, key, value); }
    void operator()(const char *key, const QUrl &value) { put(object, key, value); }
    void operator()(const char *key, const QJsonObject &value) { object.insert(QLatin1String(key), value); }
    void operator()(const char *key, const QMap<QString, QString> &value)
    {
        object.insert(QLatin1String(key), stringMapObject(value));
    }
    template<typename Nested>
    void operator()(const char *key, const Nested &value)
    {
        object.insert(QLatin1String(key), encode(value));
    }
};

struct FieldReader
{
    Reader &reader;

    void operator()(const char *key, QString &value) { value = reader.requiredString(key); }
    void operator()(const char *key, std::optional<QString> &value) { value = reader.string(key); }
    void operator()(const char *key, std::optional<QDateTime> &value) { value = reader.date(key); }
    void operator()(const char *key, QUrl &value) { value = reader.url(key); }
    void operator()(const char *key, QJsonObject &value) { value = reader.object(key); }
    void operator()(const char *key, QMap<QString, QString> &value) { value = reader.stringMap(key); }
    template<typename Nested>
    void operator()(const char *key, Nested &value)
    {
        value = reader.require(decodeNested(reader.raw(key), &value));
    }
};

template<typename Record>
QJsonObject encodeFields(const Record &record, const char *className)
{
    FieldWriter writer{tagged(className)};
    fields(writer, record);
    return writer.object;
}

template<typename Record>
std::optional<Record> decodeFields(const QJsonValue &value, const char *className)
{
    Reader reader(value, className);
    Record record;
    FieldReader fieldReader{reader};
    fields(fieldReader, record);
    return reader.ok() ? std::optional(record) : std::nullopt;
}

} // namespace

// The public pair of one record whose fields are listed above.
#define TL_ARCHIVED_RECORD(Record)                                                                           \
    QJsonObject encode(const Record &record)                                                                 \
    {                                                                                                        \
        return encodeFields(record, #Record);                                                                \
    }                                                                                                        \
    std::optional<Record> decode##Record(const QJsonValue &value)                                            \
    {                                                                                                        \
        return decodeFields<Record>(value, #Record);                                                         \
    }

TL_ARCHIVED_RECORD(AuthorizationRequest)
TL_ARCHIVED_RECORD(AuthorizationResponse)
TL_ARCHIVED_RECORD(TokenRequest)
TL_ARCHIVED_RECORD(TokenResponse)

#undef TL_ARCHIVED_RECORD

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
