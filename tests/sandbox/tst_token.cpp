// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SandboxTestSupport.h"

#include <QTest>

using namespace sandboxtest;

// The authorization and token endpoints: PKCE binding, redirect URI binding,
// single-use codes, client authentication, refresh and revocation.
class TokenEndpointTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> sandbox;

    QString codeFor(const QByteArray &verifier)
    {
        const QUrl redirect = authorize(*sandbox, verifier);
        return queryValue(redirect, "code");
    }

    Sandbox::Reply exchange(const QString &code, const QByteArray &verifier,
                            const QString &redirectUri = RedirectUri)
    {
        return postToken(*sandbox, form({{"grant_type", "authorization_code"},
                                         {"code", code},
                                         {"redirect_uri", redirectUri},
                                         {"code_verifier", QString::fromLatin1(verifier)}}));
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(sandbox); }

    void init() { sandbox->reset(); }

    void discoveryNamesEveryRequiredMember()
    {
        const auto reply = sandbox->send("GET", sandbox->url("/.well-known/openid-configuration"));
        QCOMPARE(reply.status, 200);
        const QJsonObject doc = reply.json();
        for (const char *member :
             {"issuer", "authorization_endpoint", "token_endpoint", "jwks_uri", "response_types_supported",
              "subject_types_supported", "id_token_signing_alg_values_supported"})
            QVERIFY2(doc.contains(QLatin1String(member)), member);
        QCOMPARE(doc.value("issuer").toString(), sandbox->baseUrl().toString());
        QVERIFY(doc.value("authorization_response_iss_parameter_supported").toBool());
    }

    void redirectCarriesStateAndAnEncodedCode()
    {
        const QByteArray verifier = randomVerifier();
        const QUrl redirect = authorize(*sandbox, verifier);
        QCOMPARE(redirect.host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(redirect.port(), 53682);
        QCOMPARE(queryValue(redirect, "state"), QStringLiteral("state-1"));
        QVERIFY(queryValue(redirect, "code").startsWith(QStringLiteral("4/")));
        QVERIFY(redirect.query(QUrl::FullyEncoded).contains(QStringLiteral("code=4%2F")));
        QCOMPARE(queryValue(redirect, "iss"), sandbox->baseUrl().toString());
    }

    void authorizationRefusesWhatItCannotTrust()
    {
        const QByteArray verifier = randomVerifier();
        // Not a loopback redirect, or an unknown client: an error page, never a redirect.
        QVERIFY(authorize(*sandbox, verifier, QStringLiteral("https://evil.example/cb")).isEmpty());
        QVERIFY(authorize(*sandbox, verifier, RedirectUri, QStringLiteral("other-client")).isEmpty());
        QVERIFY(authorize(*sandbox, verifier, QStringLiteral("http://127.0.0.1/")).isEmpty()); // no port
    }

    void exchangeReturnsTokensAndAnIdToken()
    {
        const QByteArray verifier = randomVerifier();
        const auto reply = exchange(codeFor(verifier), verifier);
        QCOMPARE(reply.status, 200);
        const QJsonObject tokens = reply.json();
        QCOMPARE(tokens.value("token_type").toString(), QStringLiteral("Bearer"));
        QCOMPARE(tokens.value("expires_in").toInt(), 3600);
        QVERIFY(!tokens.value("access_token").toString().isEmpty());
        QVERIFY(!tokens.value("refresh_token").toString().isEmpty());
        QVERIFY(tokens.value("scope").toString().contains("https://www.googleapis.com/auth/userinfo.email"));
        const QJsonObject claims = jwtClaims(tokens.value("id_token").toString());
        QCOMPARE(claims.value("iss").toString(), sandbox->baseUrl().toString());
        QCOMPARE(claims.value("aud").toString(), Sandbox::ClientId);
        QCOMPARE(claims.value("sub").toString(), Sandbox::AlexSub);
        QCOMPARE(claims.value("email").toString(), QStringLiteral("alex.rivera@example.com"));
        QCOMPARE(claims.value("nonce").toString(), QStringLiteral("n-1"));
        QVERIFY(claims.value("exp").toInteger() > claims.value("iat").toInteger());
    }

    void wrongVerifierIsRefusedAndLeavesTheCodeUsable()
    {
        const QByteArray verifier = randomVerifier();
        const QString code = codeFor(verifier);
        const auto wrong = exchange(code, randomVerifier());
        QCOMPARE(wrong.status, 400);
        QCOMPARE(wrong.json().value("error").toString(), QStringLiteral("invalid_grant"));
        QCOMPARE(exchange(code, "").json().value("error").toString(), QStringLiteral("invalid_grant"));
        QCOMPARE(exchange(code, verifier).status, 200);
    }

    void wrongRedirectUriIsRefused()
    {
        const QByteArray verifier = randomVerifier();
        const QString code = codeFor(verifier);
        const auto reply = exchange(code, verifier, QStringLiteral("http://127.0.0.1:53683/"));
        QCOMPARE(reply.status, 400);
        QCOMPARE(reply.json().value("error").toString(), QStringLiteral("redirect_uri_mismatch"));
    }

    void reusedCodeIsRefusedAndWithdrawsItsGrant()
    {
        const QByteArray verifier = randomVerifier();
        const QString code = codeFor(verifier);
        const auto first = exchange(code, verifier);
        QCOMPARE(first.status, 200);
        const auto second = exchange(code, verifier);
        QCOMPARE(second.status, 400);
        QCOMPARE(second.json().value("error").toString(), QStringLiteral("invalid_grant"));
        QCOMPARE(second.json().value("error_description").toString(),
                 QStringLiteral("Code was already redeemed."));
        const auto refresh = postToken(
            *sandbox, form({{"grant_type", "refresh_token"},
                            {"refresh_token", first.json().value("refresh_token").toString()}}));
        QCOMPARE(refresh.status, 400);
        QCOMPARE(refresh.json().value("error").toString(), QStringLiteral("invalid_grant"));
    }

    void unknownCodeIsRefused()
    {
        const auto reply = exchange(QStringLiteral("4/0Anot-a-code"), randomVerifier());
        QCOMPARE(reply.status, 400);
        QCOMPARE(reply.json().value("error").toString(), QStringLiteral("invalid_grant"));
    }

    void clientAuthentication_data()
    {
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<bool>("bodyClientId");
        QTest::addColumn<int>("status");
        QTest::newRow("basic") << basicAuth() << false << 200;
        QTest::newRow("no secret: refused by default") << QByteArray() << true << 400;
        QTest::newRow("wrong secret") << basicAuth(Sandbox::ClientId, "nope") << false << 401;
        QTest::newRow("unknown client") << basicAuth("someone-else", Sandbox::ClientSecret) << false << 401;
        QTest::newRow("none at all") << QByteArray() << false << 401;
    }

    void clientAuthentication()
    {
        QFETCH(QByteArray, authorization);
        QFETCH(bool, bodyClientId);
        QFETCH(int, status);
        const QByteArray verifier = randomVerifier();
        QList<QPair<QString, QString>> pairs{{"grant_type", "authorization_code"},
                                             {"code", codeFor(verifier)},
                                             {"redirect_uri", RedirectUri},
                                             {"code_verifier", QString::fromLatin1(verifier)}};
        if (bodyClientId)
            pairs.append({"client_id", Sandbox::ClientId});
        const auto reply = postToken(*sandbox, form(pairs), authorization);
        QCOMPARE(reply.status, status);
        if (status == 401)
            QCOMPARE(reply.json().value("error").toString(), QStringLiteral("invalid_client"));
    }

    void refreshIssuesAccessTokenWithoutNewRefreshToken()
    {
        const QJsonObject tokens = sandbox->issueTokens(Sandbox::AlexSub);
        const auto reply = postToken(*sandbox,
                                     form({{"grant_type", "refresh_token"},
                                           {"refresh_token", tokens.value("refresh_token").toString()}}));
        QCOMPARE(reply.status, 200);
        QVERIFY(!reply.json().contains("refresh_token"));
        QVERIFY(reply.json().value("access_token").toString() != tokens.value("access_token").toString());
    }

    void revokedGrantAnswersInvalidGrant()
    {
        const QJsonObject tokens = sandbox->issueTokens(Sandbox::MiraSub);
        sandbox->revoke(Sandbox::MiraSub);
        const auto reply = postToken(*sandbox,
                                     form({{"grant_type", "refresh_token"},
                                           {"refresh_token", tokens.value("refresh_token").toString()}}));
        QCOMPARE(reply.status, 400);
        QCOMPARE(reply.json().value("error").toString(), QStringLiteral("invalid_grant"));
        QCOMPARE(reply.json().value("error_description").toString(),
                 QStringLiteral("Token has been expired or revoked."));
        const auto api = sandbox->send("GET", sandbox->url("/gmail/v1/users/me/messages"),
                                       {{"Authorization", bearer(tokens.value("access_token").toString())}});
        QCOMPARE(api.status, 401);
    }

    void rotationReplacesRefreshTokenAndASpentOneRevokesTheGrant()
    {
        auto refresh = [&](const QString &token) {
            return postToken(*sandbox, form({{"grant_type", "refresh_token"}, {"refresh_token", token}}));
        };
        sandbox->setRefreshRotation(true);
        const QString first = sandbox->issueTokens(Sandbox::AlexSub).value("refresh_token").toString();
        const QJsonObject rotated = refresh(first).json();
        const QString second = rotated.value("refresh_token").toString();
        QVERIFY(!second.isEmpty() && second != first);
        const QString third = refresh(second).json().value("refresh_token").toString();
        QVERIFY(!third.isEmpty());

        const auto spent = refresh(first);
        QCOMPARE(spent.status, 400);
        QCOMPARE(spent.json().value("error").toString(), QStringLiteral("invalid_grant"));
        // The whole grant is gone: the newest refresh token and the access tokens too.
        QCOMPARE(refresh(third).json().value("error").toString(), QStringLiteral("invalid_grant"));
        const auto api = sandbox->send("GET", sandbox->url("/gmail/v1/users/me/profile"),
                                       {{"Authorization", bearer(rotated.value("access_token").toString())}});
        QCOMPARE(api.status, 401);

        Sandbox withOption({"--rotate-refresh-tokens"});
        const QString issued = withOption.issueTokens(Sandbox::AlexSub).value("refresh_token").toString();
        const auto answer = postToken(withOption,
                                      form({{"grant_type", "refresh_token"}, {"refresh_token", issued}}));
        QVERIFY(answer.json().contains("refresh_token"));
        withOption.reset(); // back to the command line's choice
        const QString again = withOption.issueTokens(Sandbox::AlexSub).value("refresh_token").toString();
        QVERIFY(postToken(withOption, form({{"grant_type", "refresh_token"}, {"refresh_token", again}}))
                    .json()
                    .contains("refresh_token"));
    }

    void malformedTokenRequestsGetOAuthErrors()
    {
        QCOMPARE(postToken(*sandbox, "").json().value("error").toString(), QStringLiteral("invalid_request"));
        QCOMPARE(postToken(*sandbox, "grant_type=password").json().value("error").toString(),
                 QStringLiteral("unsupported_grant_type"));
        QCOMPARE(postToken(*sandbox, "%%%&&==&grant_type=refresh_token").json().value("error").toString(),
                 QStringLiteral("invalid_request"));
        const auto json = sandbox->send(
            "POST", sandbox->url("/token"),
            {{"Content-Type", "application/json"}, {"Authorization", basicAuth()}}, "{}");
        QCOMPARE(json.status, 400);
    }

    void consentSwitches()
    {
        sandbox->setConsent("access_denied");
        const QUrl denied = authorize(*sandbox, randomVerifier());
        QCOMPARE(queryValue(denied, "error"), QStringLiteral("access_denied"));
        QVERIFY(queryValue(denied, "code").isEmpty());
        sandbox->setConsent("wrong_state");
        QVERIFY(queryValue(authorize(*sandbox, randomVerifier()), "state") != QStringLiteral("state-1"));
        sandbox->setConsent("wrong_issuer");
        QVERIFY(queryValue(authorize(*sandbox, randomVerifier()), "iss") != sandbox->baseUrl().toString());
        sandbox->setConsent("grant", Sandbox::MiraSub);
        const QByteArray verifier = randomVerifier();
        const auto tokens = exchange(codeFor(verifier), verifier).json();
        QCOMPARE(jwtClaims(tokens.value("id_token").toString()).value("sub").toString(), Sandbox::MiraSub);
    }

    void tokenLifetimeIsConfigurable()
    {
        sandbox->setTokenLifetime(5);
        const QByteArray verifier = randomVerifier();
        QCOMPARE(exchange(codeFor(verifier), verifier).json().value("expires_in").toInt(), 5);
        Sandbox withOption({"--token-lifetime", "42"});
        QCOMPARE(withOption.issueTokens(Sandbox::AlexSub).value("expires_in").toInt(), 42);
    }

    void logRedactsSecrets()
    {
        sandbox->clearLog();
        const QByteArray verifier = randomVerifier();
        exchange(codeFor(verifier), verifier);
        const QJsonArray log = sandbox->requestLog();
        QCOMPARE(log.size(), 2);
        const QJsonObject token = log.at(1).toObject();
        QCOMPARE(token.value("path").toString(), QStringLiteral("/token"));
        QCOMPARE(token.value("headers").toObject().value("Authorization").toString(),
                 QStringLiteral("Basic <redacted>"));
        QCOMPARE(token.value("form").toObject().value("code_verifier").toString(),
                 QStringLiteral("<redacted>"));
        QCOMPARE(token.value("form").toObject().value("grant_type").toString(),
                 QStringLiteral("authorization_code"));
        const QByteArray text = QJsonDocument(log).toJson();
        QVERIFY(!text.contains(verifier));
    }
};

QTEST_GUILESS_MAIN(TokenEndpointTest)
#include "tst_token.moc"
