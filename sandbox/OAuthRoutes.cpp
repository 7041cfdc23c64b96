// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Routes.h"
#include "Util.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>
#include <QUrl>

namespace {

const QStringList ApiScopes = {"gmail.modify",   "gmail.compose",   "gmail.readonly",    "drive",
                               "drive.file",     "drive.readonly",  "calendar.readonly", "calendar",
                               "userinfo.email", "userinfo.profile"};

// "email" and "profile" are granted under their long names, as the provider does.
std::optional<QString> grantedScope(const QString &requested)
{
    static const QString prefix = QStringLiteral("https://www.googleapis.com/auth/");
    QStringList granted;
    for (const QString &scope : requested.split(u' ', Qt::SkipEmptyParts)) {
        QString full;
        if (scope == u"openid")
            full = scope;
        else if (scope == u"email" || scope == u"profile")
            full = prefix + QStringLiteral("userinfo.") + scope;
        else if (scope.startsWith(prefix) && ApiScopes.contains(scope.mid(prefix.size())))
            full = scope;
        else
            return std::nullopt;
        if (!granted.contains(full))
            granted.append(full);
    }
    return granted.join(u' ');
}

// RFC 8252 loopback redirect: http on 127.0.0.1, [::1] or localhost, any port.
bool isLoopbackRedirect(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString host = url.host();
    return url.isValid() && url.scheme() == u"http" && url.fragment().isNull() && url.port() > 0
           && (host == u"127.0.0.1" || host == u"::1" || host == u"localhost");
}

QString idToken(const State &state, const Account &account, const QString &nonce)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QJsonObject claims{{"iss", state.baseUrl},
                       {"azp", state.options.clientId},
                       {"aud", state.options.clientId},
                       {"sub", account.sub},
                       {"email", account.email},
                       {"email_verified", true},
                       {"name", account.name},
                       {"given_name", account.givenName},
                       {"family_name", account.familyName},
                       {"iat", now},
                       {"exp", now + 3600}};
    if (!nonce.isEmpty())
        claims.insert(QStringLiteral("nonce"), nonce);
    const QJsonObject header{{"alg", "RS256"}, {"kid", "sandbox-key-1"}, {"typ", "JWT"}};
    const QByteArray signingInput = util::base64Url(QJsonDocument(header).toJson(QJsonDocument::Compact))
                                    + '.'
                                    + util::base64Url(QJsonDocument(claims).toJson(QJsonDocument::Compact));
    const QByteArray signature = QMessageAuthenticationCode::hash(signingInput, "tarnlight-sandbox",
                                                                  QCryptographicHash::Sha256);
    return QString::fromLatin1(signingInput + '.' + util::base64Url(signature));
}

void noStore(Exchange &exchange)
{
    exchange.setHeader("Cache-Control", QStringLiteral("no-cache, no-store, max-age=0, must-revalidate"));
    exchange.setHeader("Pragma", QStringLiteral("no-cache"));
}

void discovery(State &state, Exchange &exchange)
{
    const QString base = state.baseUrl;
    QString issuer;
    {
        std::lock_guard lock(state.mutex);
        issuer = state.discoveryIssuer.isEmpty() ? base : state.discoveryIssuer;
    }
    exchange.json(
        200,
        QJsonObject{{"issuer", issuer},
                    {"authorization_endpoint", base + "/o/oauth2/v2/auth"},
                    {"token_endpoint", base + "/token"},
                    {"userinfo_endpoint", base + "/v1/userinfo"},
                    {"revocation_endpoint", base + "/revoke"},
                    {"jwks_uri", base + "/oauth2/v3/certs"},
                    {"response_types_supported",
                     QJsonArray{"code", "token", "id_token", "code token", "code id_token", "token id_token",
                                "code token id_token", "none"}},
                    {"subject_types_supported", QJsonArray{"public"}},
                    {"id_token_signing_alg_values_supported", QJsonArray{"RS256"}},
                    {"scopes_supported", QJsonArray{"openid", "email", "profile"}},
                    {"token_endpoint_auth_methods_supported",
                     QJsonArray{"client_secret_post", "client_secret_basic"}},
                    {"claims_supported", QJsonArray{"aud", "email", "email_verified", "exp", "family_name",
                                                    "given_name", "iat", "iss", "name", "sub"}},
                    {"code_challenge_methods_supported", QJsonArray{"plain", "S256"}},
                    {"authorization_response_iss_parameter_supported", true},
                    {"grant_types_supported", QJsonArray{"authorization_code", "refresh_token"}}});
}

void authorizationPage(Exchange &exchange, const QString &error, const QString &detail)
{
    exchange.send(400,
                  QStringLiteral("<html><body><h1>Access blocked: Authorization Error</h1>"
                                 "<p>%1</p><p>Error 400: %2</p></body></html>")
                      .arg(detail.toHtmlEscaped(), error)
                      .toUtf8(),
                  "text/html; charset=UTF-8");
}

// Every redirect names the issuer (RFC 9207), or a forged one or none when
// asked.
void redirectBack(State &state, Exchange &exchange, const QString &redirectUri,
                  QList<QPair<QString, QString>> params)
{
    if (state.consentOutcome != u"no_issuer")
        params.append({"iss", state.consentOutcome == u"wrong_issuer"
                                  ? QStringLiteral("https://issuer.example")
                                  : state.baseUrl});
    QStringList pairs;
    for (const auto &[name, value] : params)
        pairs.append(util::percentEncode(name) + u'=' + util::percentEncode(value));
    const QString location = redirectUri + (redirectUri.contains(u'?') ? u'&' : u'?') + pairs.join(u'&');
    exchange.setHeader("Location", location);
    exchange.send(302, "<html><body>Moved</body></html>", "text/html; charset=UTF-8");
}

void authorizeEndpoint(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const QString clientId = exchange.param(QStringLiteral("client_id"));
    const QString redirectUri = exchange.param(QStringLiteral("redirect_uri"));
    if (clientId != state.options.clientId)
        return authorizationPage(exchange, QStringLiteral("invalid_client"),
                                 QStringLiteral("The OAuth client was not found."));
    if (!isLoopbackRedirect(redirectUri))
        return authorizationPage(
            exchange, QStringLiteral("redirect_uri_mismatch"),
            QStringLiteral("The redirect URI is not a loopback address of this client."));
    QList<QPair<QString, QString>> answer;
    const QString state_ = exchange.param(QStringLiteral("state"));
    auto fail = [&](const QString &error, const QString &description) {
        answer = {{"error", error}};
        if (!description.isEmpty())
            answer.append({"error_description", description});
        if (exchange.hasParam(QStringLiteral("state")))
            answer.append({"state", state_});
        redirectBack(state, exchange, redirectUri, answer);
    };
    if (exchange.param(QStringLiteral("response_type")) != u"code")
        return fail(QStringLiteral("unsupported_response_type"),
                    QStringLiteral("Only the code response type is supported."));
    const QString scope = exchange.param(QStringLiteral("scope"));
    if (scope.isEmpty())
        return fail(QStringLiteral("invalid_request"), QStringLiteral("Missing required parameter: scope"));
    const auto granted = grantedScope(scope);
    if (!granted)
        return fail(QStringLiteral("invalid_scope"), QStringLiteral("Some requested scopes were invalid."));
    const QString challenge = exchange.param(QStringLiteral("code_challenge"));
    static const QRegularExpression challengeShape(QStringLiteral("^[A-Za-z0-9._~-]{43,128}$"));
    if (!challengeShape.match(challenge).hasMatch())
        return fail(QStringLiteral("invalid_request"),
                    QStringLiteral("Missing or malformed parameter: code_challenge"));
    if (exchange.param(QStringLiteral("code_challenge_method")) != u"S256")
        return fail(QStringLiteral("invalid_request"),
                    QStringLiteral("Only the S256 code_challenge_method is accepted."));
    if (state.consentOutcome == u"access_denied")
        return fail(QStringLiteral("access_denied"), QString());

    const QString hint = exchange.param(QStringLiteral("login_hint"));
    const Account *account = state.account(!state.consentSub.isEmpty() ? state.consentSub : hint);
    if (!account)
        account = &state.accounts.first();
    const QString code = QStringLiteral("4/0A") + util::randomToken(48);
    state.codes.insert(code, CodeGrant{account->sub, clientId, redirectUri, challenge, *granted,
                                       exchange.param(QStringLiteral("nonce")),
                                       QDateTime::currentDateTimeUtc().addSecs(600), false, QString()});
    if (exchange.hasParam(QStringLiteral("state")))
        answer.append(
            {"state", state.consentOutcome == u"wrong_state" ? state_ + QStringLiteral("-forged") : state_});
    answer.append({{"code", code}, {"scope", *granted}, {"authuser", "0"}, {"prompt", "consent"}});
    redirectBack(state, exchange, redirectUri, answer);
}

// Client authentication: HTTP Basic with form-encoded parts, or form fields.
bool authenticateClient(State &state, Exchange &exchange, const QHash<QString, QString> &form)
{
    QString id = form.value(QStringLiteral("client_id"));
    QString secret = form.value(QStringLiteral("client_secret"));
    const QString header = exchange.header("Authorization");
    if (header.startsWith(QStringLiteral("Basic "), Qt::CaseInsensitive)) {
        const QByteArray decoded = QByteArray::fromBase64(header.mid(6).trimmed().toLatin1());
        const int colon = decoded.indexOf(':');
        const QString basicId = util::formDecode(decoded.left(colon));
        if (colon < 0 || (!id.isEmpty() && id != basicId)) {
            exchange.oauthError(401, QStringLiteral("invalid_client"), QStringLiteral("Unauthorized"));
            return false;
        }
        id = basicId;
        secret = util::formDecode(decoded.mid(colon + 1));
    }
    if (id != state.options.clientId) {
        exchange.oauthError(401, QStringLiteral("invalid_client"),
                            QStringLiteral("The OAuth client was not found."));
        return false;
    }
    // Google's desktop clients have a secret, and its token endpoint wants
    // client_secret with every code exchange and refresh ("OAuth 2.0 for
    // Mobile & Desktop Apps", exchange and refresh requests).
    if (secret.isEmpty() && state.requireSecret) {
        exchange.oauthError(400, QStringLiteral("invalid_request"),
                            QStringLiteral("client_secret is missing."));
        return false;
    }
    if (!secret.isEmpty() && secret != state.options.clientSecret) {
        exchange.oauthError(401, QStringLiteral("invalid_client"), QStringLiteral("Unauthorized"));
        return false;
    }
    return true;
}

void revokeGrant(State &state, const QString &sub)
{
    for (auto &grant : state.refreshTokens)
        if (grant.sub == sub)
            grant.revoked = true;
    for (auto it = state.accessTokens.begin(); it != state.accessTokens.end();)
        it = it->sub == sub ? state.accessTokens.erase(it) : std::next(it);
}

void exchangeCode(State &state, Exchange &exchange, const QHash<QString, QString> &form)
{
    const QString code = form.value(QStringLiteral("code"));
    if (code.isEmpty())
        return exchange.oauthError(400, QStringLiteral("invalid_request"),
                                   QStringLiteral("Missing required parameter: code"));
    auto it = state.codes.find(code);
    if (it == state.codes.end())
        return exchange.oauthError(400, QStringLiteral("invalid_grant"),
                                   QStringLiteral("Malformed auth code."));
    if (it->used) {
        // A replayed code withdraws what it granted (RFC 6749, section 4.1.2).
        if (state.refreshTokens.contains(it->refreshToken))
            state.refreshTokens[it->refreshToken].revoked = true;
        return exchange.oauthError(400, QStringLiteral("invalid_grant"),
                                   QStringLiteral("Code was already redeemed."));
    }
    if (it->expiry < QDateTime::currentDateTimeUtc())
        return exchange.oauthError(400, QStringLiteral("invalid_grant"), QStringLiteral("Code has expired."));
    if (!form.contains(QStringLiteral("redirect_uri")))
        return exchange.oauthError(400, QStringLiteral("invalid_request"),
                                   QStringLiteral("Missing parameter: redirect_uri"));
    if (form.value(QStringLiteral("redirect_uri")) != it->redirectUri)
        return exchange.oauthError(400, QStringLiteral("redirect_uri_mismatch"),
                                   QStringLiteral("Bad Request"));
    const QString verifier = form.value(QStringLiteral("code_verifier"));
    if (verifier.isEmpty())
        return exchange.oauthError(400, QStringLiteral("invalid_grant"),
                                   QStringLiteral("Missing code verifier."));
    if (QString::fromLatin1(util::base64Url(util::sha256(verifier.toUtf8()))) != it->challenge)
        return exchange.oauthError(400, QStringLiteral("invalid_grant"),
                                   QStringLiteral("Invalid code verifier."));
    it->used = true;
    QJsonObject tokens = mintTokens(state, it->sub, it->scope, it->nonce, true, state.tokenLifetime);
    it->refreshToken = tokens.value(QStringLiteral("refresh_token")).toString();
    noStore(exchange);
    exchange.json(200, tokens);
}

void refresh(State &state, Exchange &exchange, const QHash<QString, QString> &form)
{
    const QString token = form.value(QStringLiteral("refresh_token"));
    if (token.isEmpty())
        return exchange.oauthError(400, QStringLiteral("invalid_request"),
                                   QStringLiteral("Missing required parameter: refresh_token"));
    const auto it = state.refreshTokens.find(token);
    if (it == state.refreshTokens.end())
        return exchange.oauthError(400, QStringLiteral("invalid_grant"), QStringLiteral("Bad Request"));
    if (it->spent) {
        // A spent token coming back means it leaked or a client lost the new
        // one: rotating providers withdraw the whole grant.
        revokeGrant(state, it->sub);
        return exchange.oauthError(400, QStringLiteral("invalid_grant"),
                                   QStringLiteral("Token has been expired or revoked."));
    }
    if (it->revoked)
        return exchange.oauthError(400, QStringLiteral("invalid_grant"),
                                   QStringLiteral("Token has been expired or revoked."));
    const bool rotate = state.rotateRefreshTokens;
    if (rotate)
        it->spent = true;
    const RefreshGrant grant = *it;
    noStore(exchange);
    exchange.json(200, mintTokens(state, grant.sub, grant.scope, QString(), rotate, state.tokenLifetime));
}

void tokenEndpoint(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    if (!exchange.header("Content-Type")
             .startsWith(QStringLiteral("application/x-www-form-urlencoded"), Qt::CaseInsensitive))
        return exchange.oauthError(400, QStringLiteral("invalid_request"), QStringLiteral("Bad Request"));
    QHash<QString, QString> form;
    for (const auto &[name, value] : util::parseForm(exchange.body()))
        form.insert(name, value);
    if (!authenticateClient(state, exchange, form))
        return;
    const QString grant = form.value(QStringLiteral("grant_type"));
    if (grant.isEmpty())
        return exchange.oauthError(400, QStringLiteral("invalid_request"),
                                   QStringLiteral("Missing required parameter: grant_type"));
    if (grant == u"authorization_code")
        return exchangeCode(state, exchange, form);
    if (grant == u"refresh_token")
        return refresh(state, exchange, form);
    exchange.oauthError(400, QStringLiteral("unsupported_grant_type"),
                        QStringLiteral("Invalid grant_type: ") + grant);
}

void revokeEndpoint(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    QString token = exchange.param(QStringLiteral("token"));
    for (const auto &[name, value] : util::parseForm(exchange.body()))
        if (name == u"token")
            token = value;
    QString sub;
    if (state.refreshTokens.contains(token))
        sub = state.refreshTokens.value(token).sub;
    else if (state.accessTokens.contains(token))
        sub = state.accessTokens.value(token).sub;
    if (sub.isEmpty())
        return exchange.oauthError(400, QStringLiteral("invalid_token"),
                                   QStringLiteral("Token expired or revoked"));
    revokeGrant(state, sub);
    exchange.json(200, QJsonObject{});
}

void userinfo(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = authorize(state, exchange, {"openid", "userinfo.email", "userinfo.profile"});
    if (!sub)
        return;
    const Account *account = state.account(*sub);
    exchange.json(200, QJsonObject{{"sub", account->sub},
                                   {"name", account->name},
                                   {"given_name", account->givenName},
                                   {"family_name", account->familyName},
                                   {"email", account->email},
                                   {"email_verified", true}});
}

} // namespace

QString scopeUri(const char *name)
{
    return QStringLiteral("https://www.googleapis.com/auth/") + QLatin1String(name);
}

QString allScopes()
{
    return QStringList{"openid",
                       scopeUri("userinfo.email"),
                       scopeUri("userinfo.profile"),
                       scopeUri("gmail.modify"),
                       scopeUri("gmail.compose"),
                       scopeUri("drive"),
                       scopeUri("calendar.readonly")}
        .join(u' ');
}

std::optional<QString> authorize(State &state, Exchange &exchange,
                                 std::initializer_list<const char *> anyOfScopes)
{
    const QString header = exchange.header("Authorization");
    const QString realm = QStringLiteral("Bearer realm=\"%1/\"").arg(state.baseUrl);
    if (!header.startsWith(QStringLiteral("Bearer "), Qt::CaseInsensitive)) {
        exchange.setHeader("WWW-Authenticate", realm);
        exchange.apiError(
            401,
            QStringLiteral("Request is missing required authentication credential. Expected OAuth 2 "
                           "access token, login cookie or other valid authentication credential."),
            QStringLiteral("required"), QStringLiteral("Authorization"), QStringLiteral("header"));
        return std::nullopt;
    }
    const auto it = state.accessTokens.constFind(header.mid(7).trimmed());
    if (it == state.accessTokens.constEnd() || it->expiry <= QDateTime::currentDateTimeUtc()) {
        exchange.setHeader("WWW-Authenticate", realm + QStringLiteral(", error=\"invalid_token\""));
        exchange.apiError(
            401,
            QStringLiteral("Request had invalid authentication credentials. Expected OAuth 2 "
                           "access token, login cookie or other valid authentication credential."),
            QStringLiteral("authError"), QStringLiteral("Authorization"), QStringLiteral("header"));
        return std::nullopt;
    }
    const QStringList granted = it->scope.split(u' ');
    for (const char *scope : anyOfScopes)
        if (granted.contains(QLatin1String(scope)) || granted.contains(scopeUri(scope))) {
            exchange.sub = it->sub;
            return it->sub;
        }
    exchange.setHeader("WWW-Authenticate", realm + QStringLiteral(", error=\"insufficient_scope\""));
    exchange.apiError(403, QStringLiteral("Request had insufficient authentication scopes."),
                      QStringLiteral("insufficientPermissions"));
    return std::nullopt;
}

QJsonObject mintTokens(State &state, const QString &sub, const QString &scope, const QString &nonce,
                       bool withRefresh, int lifetime)
{
    const QString access = QStringLiteral("ya29.a0") + util::randomToken(96);
    state.accessTokens.insert(access,
                              AccessGrant{sub, scope, QDateTime::currentDateTimeUtc().addSecs(lifetime)});
    QJsonObject answer{
        {"access_token", access}, {"expires_in", lifetime}, {"scope", scope}, {"token_type", "Bearer"}};
    if (withRefresh) {
        const QString refreshToken = QStringLiteral("1//0g") + util::randomToken(64);
        state.refreshTokens.insert(refreshToken, RefreshGrant{sub, scope});
        answer.insert(QStringLiteral("refresh_token"), refreshToken);
    }
    if (scope.split(u' ').contains(QStringLiteral("openid")))
        if (const Account *account = state.account(sub))
            answer.insert(QStringLiteral("id_token"), idToken(state, *account, nonce));
    return answer;
}

void revokeAccount(State &state, const QString &sub)
{
    revokeGrant(state, sub);
}

void addOAuthRoutes(Server &server, State &state)
{
    State *s = &state;
    server.route("GET", R"(/\.well-known/openid-configuration)", [s](Exchange &e) { discovery(*s, e); });
    server.route("GET", R"(/o/oauth2/(v2/)?auth)", [s](Exchange &e) { authorizeEndpoint(*s, e); });
    server.route("POST", R"(/token|/o/oauth2/token)", [s](Exchange &e) { tokenEndpoint(*s, e); });
    server.route("POST", R"(/revoke|/o/oauth2/revoke)", [s](Exchange &e) { revokeEndpoint(*s, e); });
    server.route("GET", R"(/v1/userinfo|/oauth2/v3/userinfo)", [s](Exchange &e) { userinfo(*s, e); });
    server.route("GET", R"(/oauth2/v3/certs)", [](Exchange &e) {
        e.json(200, QJsonObject{{"keys", QJsonArray{QJsonObject{{"kid", "sandbox-key-1"},
                                                                {"kty", "RSA"},
                                                                {"alg", "RS256"},
                                                                {"use", "sig"},
                                                                {"e", "AQAB"},
                                                                {"n", "sandbox-does-not-sign"}}}}});
    });
}
