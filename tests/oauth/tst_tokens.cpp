// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Token requests against the sandbox's token endpoint, ID token checks and
// the token state's refresh rules.

#include "Fixture.h"
#include "OAuthTestSupport.h"
#include "oauth/Encoding.h"
#include "oauth/OAuthError.h"
#include "oauth/ParsedIDToken.h"

#include <QJsonDocument>
#include <QThread>

using namespace oauth;
using namespace oauthtest;

namespace {

QString makeIDToken(const QJsonObject &claims)
{
    const auto part = [](const QJsonObject &object) {
        return base64UrlNoPadding(QJsonDocument(object).toJson(QJsonDocument::Compact));
    };
    return part({{"alg", "RS256"}, {"typ", "JWT"}}) + u'.' + part(claims) + QStringLiteral(".c2ln");
}

QJsonObject lastTokenRequest(Sandbox &sandbox)
{
    QJsonObject last;
    for (const QJsonValue &entry : sandbox.requestLog())
        if (entry.toObject().value("path").toString() == u"/token")
            last = entry.toObject();
    return last;
}

} // namespace

class TestTokens : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;

    // Answers the next token request with `body` (status 200 unless given).
    void answerTokenRequest(const QJsonValue &body, int status = 200)
    {
        const QString text = body.isString() ? body.toString()
                                             : QString::fromUtf8(QJsonDocument(body.toObject()).toJson());
        m_sandbox->injectFault({{"route", "POST /token"},
                                {"status", status},
                                {"body", text},
                                {"contentType", "application/json"},
                                {"count", 1}});
    }

    QJsonObject claims(const QString &issuer, qint64 issuedAtOffset = 0)
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        return {{"iss", issuer},
                {"sub", Sandbox::AlexSub},
                {"aud", Sandbox::ClientId},
                {"iat", now + issuedAtOffset},
                {"exp", now + 3600}};
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(m_sandbox); }

    void init()
    {
        m_sandbox->reset();
        m_sandbox->clearLog();
    }

    void codeExchangeSendsVerifierAndClientID()
    {
        m_sandbox->requireClientSecret(false); // a public client
        const auto state = signIn(*m_sandbox, std::nullopt);
        QVERIFY(state->isAuthorized());
        QVERIFY(state->accessToken());
        QVERIFY(state->refreshToken());
        QVERIFY(state->idToken());
        QVERIFY(state->isTokenFresh());
        QVERIFY(state->scope()->split(u' ').contains("openid"));
        const QJsonObject entry = lastTokenRequest(*m_sandbox);
        QCOMPARE(entry.value("status").toInt(), 200);
        const QJsonObject form = entry.value("form").toObject();
        QCOMPARE(form.value("grant_type").toString(), QStringLiteral("authorization_code"));
        QVERIFY(form.contains("code_verifier"));
        QCOMPARE(form.value("client_id").toString(), Sandbox::ClientId);
        QCOMPARE(form.value("redirect_uri").toString(), RedirectURL.toString());
        QVERIFY(Sandbox::loggedHeader(entry, "Authorization").isEmpty());
    }

    void codeExchangeWithWrongVerifierIsRefused()
    {
        const auto request = makeRequest(discover(*m_sandbox), Sandbox::ClientSecret);
        const auto response = authorize(*m_sandbox, request);
        auto exchange = *response.tokenExchangeRequest();
        exchange.codeVerifier = *makeRequest(request.configuration, std::nullopt).codeVerifier;
        const auto outcome = performTokenRequest(exchange, response);
        QCOMPARE(outcome.error->domain(), TokenErrorDomain);
        QCOMPARE(outcome.error->code(), -10);
        QCOMPARE(outcome.error->underlying()->domain(), RemoteHTTPErrorDomain);
        QCOMPARE(outcome.error->underlying()->code(), 400);
    }

    void basicAuthenticationFormEncodesTheSecret()
    {
        const QString secret = QStringLiteral("s3 cr+t/:\u00e9");
        Sandbox sandbox({"--client-secret", secret});
        const auto state = signIn(sandbox, secret);
        QVERIFY(state->accessToken());
        const QJsonObject entry = lastTokenRequest(sandbox);
        QVERIFY(Sandbox::loggedHeader(entry, "Authorization").startsWith("Basic "));
        QVERIFY(!entry.value("form").toObject().contains("client_id"));

        const auto request = state->tokenRefreshRequest()->urlRequest();
        QCOMPARE(request.header("Authorization"),
                 "Basic " + QByteArray(Sandbox::ClientId.toUtf8() + ":s3+cr%2Bt%2F%3A%C3%A9").toBase64());
        QVERIFY(!request.body.contains("client_id"));
        QCOMPARE(request.header("Content-Type"),
                 QByteArray("application/x-www-form-urlencoded; charset=UTF-8"));
    }

    void refreshKeepsTheOldRefreshToken()
    {
        const auto state = mintedState(*m_sandbox, 30);
        const auto oldAccess = state->accessToken();
        const auto oldRefresh = state->refreshToken();
        // The holder is told once, with the new tokens already in place.
        QList<std::optional<QString>> told;
        state->setStateChangeHandler([&] { told.append(state->accessToken()); });
        const auto result = freshTokens(state);
        QVERIFY(!result.error);
        QCOMPARE(told, QList<std::optional<QString>>{result.accessToken});
        QVERIFY(result.accessToken && result.accessToken != oldAccess);
        QCOMPARE(state->accessToken(), result.accessToken);
        QCOMPARE(state->refreshToken(), oldRefresh);
        QCOMPARE(lastTokenRequest(*m_sandbox).value("form").toObject().value("grant_type").toString(),
                 QStringLiteral("refresh_token"));
    }

    void tokenWithin60SecondsIsRefreshed()
    {
        auto state = mintedState(*m_sandbox, 59);
        auto old = state->accessToken();
        auto result = freshTokens(state);
        QVERIFY(result.accessToken != old);
        QCOMPARE(countRequests(*m_sandbox, "POST", "/token"), 1);

        m_sandbox->clearLog();
        state = mintedState(*m_sandbox, 61);
        old = state->accessToken();
        result = freshTokens(state);
        QCOMPARE(result.accessToken, old);
        QCOMPARE(countRequests(*m_sandbox, "POST", "/token"), 0);

        state->setNeedsTokenRefresh();
        result = freshTokens(state);
        QVERIFY(result.accessToken != old);
        QVERIFY(!state->needsTokenRefresh());
    }

    void concurrentCallersShareOneRefresh()
    {
        const auto state = mintedState(*m_sandbox, 10);
        QList<QThread *> threads;
        QList<QObject *> contexts;
        struct Call
        {
            QThread *thread = nullptr;
            std::optional<QString> token;
        };
        auto calls = std::make_shared<QList<Call>>();
        auto lock = std::make_shared<QMutex>();
        for (int i = 0; i < 3; ++i) {
            auto *thread = new QThread;
            thread->start();
            auto *context = new QObject;
            context->moveToThread(thread);
            threads.append(thread);
            contexts.append(context);
            state->performActionWithFreshTokens(
                [calls, lock](auto access, auto, auto error) {
                    QMutexLocker locker(lock.get());
                    calls->append({QThread::currentThread(), error ? std::nullopt : access});
                },
                {}, context);
        }
        TL_WAIT(
            [&] {
                QMutexLocker l(lock.get());
                return calls->size() == 3;
            },
            15000, "the three callers' actions");
        QCOMPARE(calls->size(), 3);
        QCOMPARE(countRequests(*m_sandbox, "POST", "/token"), 1);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(calls->at(i).token);
            QCOMPARE(calls->at(i).token, state->accessToken());
            QVERIFY(std::any_of(threads.begin(), threads.end(),
                                [&](QThread *t) { return t == calls->at(i).thread; }));
        }
        QVERIFY(calls->at(0).thread != calls->at(1).thread && calls->at(1).thread != calls->at(2).thread
                && calls->at(0).thread != calls->at(2).thread);
        for (int i = 0; i < 3; ++i) {
            contexts[i]->deleteLater();
            threads[i]->quit();
            threads[i]->wait();
            delete threads[i];
        }
    }

    void revokedGrantEndsAuthorization()
    {
        const auto state = mintedState(*m_sandbox, 10);
        m_sandbox->revoke(Sandbox::AlexSub);
        int told = 0;
        state->setStateChangeHandler([&] { ++told; });
        const auto result = freshTokens(state);
        QCOMPARE(told, 1);
        QVERIFY(!result.accessToken);
        QCOMPARE(result.error->domain(), TokenErrorDomain);
        QCOMPARE(result.error->code(), -10);
        QVERIFY(!state->isAuthorized());
        QCOMPARE(state->authorizationError()->code(), -10);
        QVERIFY(!state->accessToken());
    }

    void transientRefreshFailureKeepsTheState()
    {
        const auto state = mintedState(*m_sandbox, 10);
        const auto old = state->accessToken();
        answerTokenRequest(QStringLiteral("<html>busy</html>"), 503);
        int told = 0;
        state->setStateChangeHandler([&] { ++told; });
        const auto result = freshTokens(state);
        QCOMPARE(told, 0); // nothing to store again
        QCOMPARE(result.accessToken, old);
        QCOMPARE(result.error->domain(), GeneralErrorDomain);
        QCOMPARE(result.error->code(), -6);
        QVERIFY(state->isAuthorized());
        QVERIFY(!state->authorizationError());
        QCOMPARE(state->accessToken(), old);
    }

    void expiredTokenWithoutRefreshTokenCannotRefresh()
    {
        const auto minted = mintedState(*m_sandbox, 10);
        const auto response = TokenResponse::fromJson(minted->lastTokenResponse()->request,
                                                      {{"access_token", "at"}, {"expires_in", 5}});
        const auto state = AuthState::create(minted->lastAuthorizationResponse(), response);
        const auto result = freshTokens(state);
        QCOMPARE(result.error->code(), -11);
        QCOMPARE(result.error->description(),
                 QStringLiteral("Unable to refresh expired token without a refresh token."));
        QCOMPARE(countRequests(*m_sandbox, "POST", "/token"), 0);
    }

    void tokenEndpointFailuresAreMapped_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("code");
        QTest::newRow("server error") << 500 << "<html>oops</html>" << GeneralErrorDomain << -6;
        QTest::newRow("400 without OAuth error") << 400 << "{\"message\":1}" << GeneralErrorDomain << -6;
        QTest::newRow("invalid client") << 401 << "{\"error\":\"invalid_client\"}" << TokenErrorDomain << -9;
        QTest::newRow("not JSON") << 200 << "access_token=x" << GeneralErrorDomain << -7;
        QTest::newRow("not an object") << 200 << "[1,2]" << GeneralErrorDomain << -8;
        QTest::newRow("unreadable ID token")
            << 200 << "{\"access_token\":\"a\",\"id_token\":\"e30\"}" << GeneralErrorDomain << -14;
    }

    void tokenEndpointFailuresAreMapped()
    {
        QFETCH(int, status);
        QFETCH(QString, body);
        QFETCH(QString, domain);
        QFETCH(int, code);
        const auto state = mintedState(*m_sandbox, 3600);
        answerTokenRequest(body, status);
        const auto outcome = performTokenRequest(*state->tokenRefreshRequest(), std::nullopt);
        QVERIFY(outcome.error);
        QCOMPARE(outcome.error->domain(), domain);
        QCOMPARE(outcome.error->code(), code);
        if (code == -6)
            QCOMPARE(outcome.error->description(),
                     QStringLiteral("Non-200 HTTP response (%1) making token request to '%2'.")
                         .arg(status)
                         .arg(m_sandbox->url("/token").toString()));
    }

    void droppedConnectionIsANetworkError()
    {
        const auto state = mintedState(*m_sandbox, 3600);
        // The client may resend once on a fresh connection, so drop every attempt.
        m_sandbox->injectFault({{"route", "POST /token"}, {"drop", true}, {"count", -1}});
        const auto outcome = performTokenRequest(*state->tokenRefreshRequest(), std::nullopt);
        QVERIFY2(outcome.error, outcome.value ? "answered" : "no outcome");
        QCOMPARE(outcome.error->code(), -5);
        QVERIFY(outcome.error->description().startsWith(
            QStringLiteral("Connection error making token request to '%1': ")
                .arg(m_sandbox->url("/token").toString())));
    }

    void idTokenChecks_data()
    {
        QTest::addColumn<QJsonObject>("changes");
        QTest::addColumn<QString>("failure");
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QTest::newRow("valid") << QJsonObject{} << QString();
        QTest::newRow("audience list")
            << QJsonObject{{"aud", QJsonArray{"other", Sandbox::ClientId}}} << QString();
        QTest::newRow("authorized party")
            << QJsonObject{{"aud", "other"}, {"azp", Sandbox::ClientId}} << QString();
        QTest::newRow("audience") << QJsonObject{{"aud", "other"}} << "Audience mismatch";
        QTest::newRow("issuer") << QJsonObject{{"iss", "https://evil.test"}} << "Issuer mismatch";
        QTest::newRow("expired") << QJsonObject{{"exp", now - 5}} << "ID Token expired";
        QTest::newRow("issued 11 minutes ahead")
            << QJsonObject{{"iat", now + 660}}
            << "Issued at time is more than 600 seconds before or after the current time";
        QTest::newRow("issued 11 minutes ago")
            << QJsonObject{{"iat", now - 660}}
            << "Issued at time is more than 600 seconds before or after the current time";
        QTest::newRow("nonce") << QJsonObject{{"nonce", "other"}} << "Nonce mismatch";
    }

    void idTokenChecks()
    {
        QFETCH(QJsonObject, changes);
        QFETCH(QString, failure);
        const auto configuration = discover(*m_sandbox);
        const auto request = makeRequest(configuration, Sandbox::ClientSecret);
        const auto response = AuthorizationResponse::fromParameters(
            request, {{"code", "c"}, {"state", *request.state}});
        QJsonObject tokenClaims = claims(configuration.issuer.toString());
        tokenClaims.insert("nonce", *request.nonce);
        for (auto it = changes.begin(); it != changes.end(); ++it)
            tokenClaims.insert(it.key(), it.value());
        answerTokenRequest(QJsonObject{{"access_token", "a"}, {"id_token", makeIDToken(tokenClaims)}});
        const auto outcome = performTokenRequest(*response.tokenExchangeRequest(), response);
        if (failure.isEmpty()) {
            QVERIFY2(outcome.value, qPrintable(outcome.error ? outcome.error->description() : ""));
            return;
        }
        QVERIFY(outcome.error);
        QCOMPARE(outcome.error->domain(), GeneralErrorDomain);
        QCOMPARE(outcome.error->code(), -15);
        QCOMPARE(outcome.error->description(), failure);
    }

    void idTokenParsing()
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QJsonObject good{
            {"iss", "https://a.test"}, {"sub", "1"}, {"aud", "c"}, {"iat", now}, {"exp", now + 60}};
        const auto parsed = ParsedIDToken::parse(makeIDToken(good));
        QVERIFY(parsed);
        QCOMPARE(parsed->audience, QStringList{"c"});
        QCOMPARE(parsed->expiresAt.toSecsSinceEpoch(), now + 60);
        QVERIFY(!parsed->nonce);
        for (const char *missing : {"iss", "sub", "aud", "iat", "exp"}) {
            QJsonObject claims = good;
            claims.remove(missing);
            QVERIFY2(!ParsedIDToken::parse(makeIDToken(claims)), missing);
        }
        QJsonObject badAudience = good;
        badAudience.insert("aud", QJsonArray{"c", 3});
        QVERIFY(!ParsedIDToken::parse(makeIDToken(badAudience)));
        QVERIFY(!ParsedIDToken::parse("onlyonepart"));
        QVERIFY(!ParsedIDToken::parse("e30.!!!"));
        QVERIFY(!ParsedIDToken::parse(""));
    }

    void responseFieldsOfTheWrongTypeStayAdditional()
    {
        const auto response = TokenResponse::fromJson(
            TokenRequest(),
            {{"access_token", "ya29.secret"}, {"expires_in", "3600"}, {"scope", 5}, {"extra", true}});
        QCOMPARE(response.accessToken, std::optional<QString>("ya29.secret"));
        QVERIFY(!response.accessTokenExpirationDate);
        QVERIFY(!response.scope);
        QCOMPARE(response.additionalParameters.value("expires_in").toString(), QStringLiteral("3600"));
        QCOMPARE(response.additionalParameters.value("scope").toInt(), 5);
        QVERIFY(response.additionalParameters.value("extra").toBool());
        QVERIFY(!response.description().contains("ya29.secret"));
    }
};

QTEST_GUILESS_MAIN(TestTokens)
#include "tst_tokens.moc"
