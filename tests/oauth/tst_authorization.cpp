// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Discovery, the authorization request and the redirect check.

#include "Fixture.h"
#include "OAuthTestSupport.h"
#include "oauth/OAuthError.h"
#include "oauth/PresentAuthorizationRequest.h"
#include "oauth/URLQueryComponent.h"
#include "rest/HTTPFetcher.h"
#include "support/UrlOpener.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>

using namespace oauth;

class TestAuthorization : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;

    TaskOutcome<ServiceConfiguration> discoverAt(const QUrl &issuer)
    {
        return runTask(awaitCompletion<ServiceConfiguration>([&](Completion<ServiceConfiguration> done) {
            discoverServiceConfiguration(issuer, std::move(done));
        }));
    }

    void injectDiscovery(int status, const QByteArray &body)
    {
        m_sandbox->injectFault({{"route", "GET /.well-known/openid-configuration"},
                                {"status", status},
                                {"body", QString::fromUtf8(body)},
                                {"contentType", "application/json"},
                                {"count", 1}});
    }

    // Offers `url` to a fresh session and waits for its outcome.
    struct Outcome
    {
        bool accepted = false;
        std::optional<AuthorizationResponse> response;
        std::optional<Error> error;
        bool called = false;
    };
    Outcome offer(const AuthorizationRequest &request, const QUrl &url)
    {
        auto outcome = std::make_shared<Outcome>();
        AuthorizationSession session(request, [outcome](auto response, auto error) {
            outcome->response = response;
            outcome->error = error;
            outcome->called = true;
        });
        outcome->accepted = session.resumeFlowWithURL(url);
        if (outcome->accepted)
            TL_WAITED([&] { return outcome->called; }, 5000, "the flow's completion");
        else
            QTest::qWait(20); // a refused URL completes nothing meanwhile
        return *outcome;
    }

    AuthorizationRequest request() const
    {
        ServiceConfiguration configuration;
        configuration.authorizationEndpoint = QUrl("https://accounts.example.com/o/auth?old=1");
        configuration.tokenEndpoint = QUrl("https://accounts.example.com/token");
        return oauthtest::makeRequest(configuration, std::nullopt);
    }

    // A request to a provider that names itself in its redirects (RFC 9207)
    // when `advertised`.
    AuthorizationRequest requestToIssuer(bool advertised) const
    {
        ServiceConfiguration configuration = request().configuration;
        configuration.issuer = QUrl("https://accounts.example.com");
        QJsonObject document{{"issuer", "https://accounts.example.com"}};
        if (advertised)
            document.insert("authorization_response_iss_parameter_supported", true);
        configuration.discoveryDocument = ServiceDiscovery{document};
        return oauthtest::makeRequest(configuration, std::nullopt);
    }

    static QJsonObject documentWith(const QString &authorizationEndpoint, const QString &tokenEndpoint)
    {
        return {{"issuer", "https://a.test"},
                {"authorization_endpoint", authorizationEndpoint},
                {"token_endpoint", tokenEndpoint},
                {"jwks_uri", "https://a.test/certs"},
                {"response_types_supported", "x"},
                {"subject_types_supported", "x"},
                {"id_token_signing_alg_values_supported", "x"}};
    }

    static void verifyInsecure(const std::optional<Error> &error, const QUrl &url)
    {
        QVERIFY(error);
        QVERIFY2(error->is(rest::FetcherErrorDomain, rest::FetcherErrorInsecureRequest),
                 qPrintable(error->description()));
        QCOMPARE(error->userInfoValue(rest::FailingURLKey).toUrl(), url);
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(m_sandbox); }

    void pkceChallengeMatchesPublishedExample()
    {
        QCOMPARE(codeChallengeS256("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"),
                 QStringLiteral("E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM"));
    }

    void everyRequestDrawsFreshRandomValues()
    {
        const auto a = request();
        const auto b = request();
        static const QRegularExpression shape("^[A-Za-z0-9_-]{43}$");
        for (const auto *r : {&a, &b}) {
            for (const auto &value : {r->codeVerifier, r->codeChallenge, r->state, r->nonce}) {
                QVERIFY(value.has_value());
                QVERIFY2(shape.match(*value).hasMatch(), qPrintable(*value));
            }
            QCOMPARE(*r->codeChallenge, codeChallengeS256(*r->codeVerifier));
            QCOMPARE(*r->codeChallengeMethod, QStringLiteral("S256"));
        }
        QVERIFY(a.codeVerifier != b.codeVerifier);
        QVERIFY(a.codeChallenge != b.codeChallenge);
        QVERIFY(a.state != b.state);
        QVERIFY(a.nonce != b.nonce);
        QVERIFY(a.state != a.nonce && a.state != a.codeVerifier);
    }

    void authorizationURLCarriesEveryParameterEncoded()
    {
        auto r = request();
        r.additionalParameters.insert("login_hint", "a+b c&d=e");
        const QUrl url = r.authorizationRequestURL();
        const QString query = url.query(QUrl::FullyEncoded);
        QCOMPARE(url.toString(QUrl::RemoveQuery), QStringLiteral("https://accounts.example.com/o/auth"));
        QVERIFY2(query.contains("login_hint=a%2Bb%20c%26d%3De"), qPrintable(query));
        QVERIFY2(query.contains("redirect_uri=http://127.0.0.1:8765/"), qPrintable(query));
        QVERIFY2(query.contains("scope=openid%20email"), qPrintable(query));
        QVERIFY(!query.contains("old=1"));
        const URLQueryComponent parsed(url);
        QCOMPARE(parsed.value("response_type"), std::optional<QString>("code"));
        QCOMPARE(parsed.value("client_id"), std::optional<QString>(Sandbox::ClientId));
        QCOMPARE(parsed.value("login_hint"), std::optional<QString>("a+b c&d=e"));
        QCOMPARE(parsed.value("state"), r.state);
        QCOMPARE(parsed.value("nonce"), r.nonce);
        QCOMPARE(parsed.value("code_challenge"), r.codeChallenge);
        QCOMPARE(parsed.value("code_challenge_method"), std::optional<QString>("S256"));
        QCOMPARE(parsed.value("access_type"), std::optional<QString>("offline"));
        QVERIFY(!parsed.value("code_verifier"));
    }

    void mistakesOfTheCallerAreRefused()
    {
        const auto configuration = request().configuration;
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 AuthorizationRequest::make(configuration, "id", std::nullopt, {"openid"},
                                                            oauthtest::RedirectURL, "token"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 AuthorizationRequest::make(configuration, "id", std::nullopt, {"open id"},
                                                            oauthtest::RedirectURL));
        QVERIFY_THROWS_EXCEPTION(
            std::invalid_argument,
            AuthorizationRequest::make(configuration, "id", std::nullopt, {""}, oauthtest::RedirectURL));
        AuthorizationRequest::make(configuration, "id", std::nullopt, {"openid"}, oauthtest::RedirectURL,
                                   "id_token code");
    }

    void queryParsingDecodesOnce()
    {
        const URLQueryComponent query(
            QUrl("http://127.0.0.1:8765/?code=4%2F0Aab%2B1&state=a+b&x=1&x=2&empty=&flag"));
        QCOMPARE(query.value("code"), std::optional<QString>("4/0Aab+1"));
        QCOMPARE(query.value("state"), std::optional<QString>("a b"));
        QCOMPARE(query.values("x"), QStringList({"1", "2"}));
        QCOMPARE(query.value("empty"), std::optional<QString>(""));
        QCOMPARE(query.value("flag"), std::optional<QString>(""));
    }

    void redirectWithCodeCompletesTheSession()
    {
        const auto r = request();
        QUrl url = oauthtest::RedirectURL;
        url.setQuery("code=4%2F0Aab&iss=https%3A%2F%2Faccounts.example.com&state=" + *r.state);
        const auto outcome = offer(r, url);
        QVERIFY(outcome.accepted);
        QVERIFY(outcome.response);
        QCOMPARE(outcome.response->authorizationCode, std::optional<QString>("4/0Aab"));
        QCOMPARE(outcome.response->additionalParameters.value("iss").toString(),
                 QStringLiteral("https://accounts.example.com"));
        const auto exchange = outcome.response->tokenExchangeRequest();
        QVERIFY(exchange);
        QCOMPARE(exchange->codeVerifier, r.codeVerifier);
        QCOMPARE(exchange->redirectURL, oauthtest::RedirectURL);
    }

    void redirectToAnotherPathOrPortIsIgnored()
    {
        const auto r = request();
        QVERIFY(!offer(r, QUrl("http://127.0.0.1:8765/favicon.ico")).accepted);
        QVERIFY(!offer(r, QUrl("http://127.0.0.1:8766/?code=x")).accepted);
        QVERIFY(!offer(r, QUrl("https://127.0.0.1:8765/?code=x")).accepted);
        QVERIFY(offer(r, QUrl("HTTP://127.0.0.1:8765/?code=x&state=" + *r.state)).accepted);
    }

    void redirectErrorsBecomeOAuthErrors()
    {
        const auto r = request();
        auto outcome = offer(r, QUrl("http://127.0.0.1:8765/?error=access_denied&state=" + *r.state));
        QVERIFY(outcome.error);
        QCOMPARE(outcome.error->domain(), AuthorizationErrorDomain);
        QCOMPARE(outcome.error->code(), -4);
        QCOMPARE(outcome.error->description(), QStringLiteral("access_denied"));

        const QString state = "&state=" + *r.state;
        outcome = offer(r, QUrl("http://127.0.0.1:8765/?error=invalid_scope&error_description="
                                "Bad+scope&error_uri=https%3A%2F%2Fx.test%2Fe"
                                + state));
        QCOMPARE(outcome.error->code(), -6);
        QCOMPARE(outcome.error->description(), QStringLiteral("invalid_scope: Bad scope - https://x.test/e"));

        outcome = offer(r, QUrl("http://127.0.0.1:8765/?error=something_new" + state));
        QCOMPARE(outcome.error->code(), -61440);
        QVERIFY(outcome.error->userInfo().contains(OAuthErrorResponseKey));

        // The provider's words are shown as one line of at most 200 characters.
        outcome = offer(r, QUrl("http://127.0.0.1:8765/?error=server_error&error_description=Line%0Aone%09"
                                + QString(300, u'x') + state));
        const QString shown = outcome.error->description();
        QCOMPARE(shown.size(), 200);
        QVERIFY2(shown.startsWith("server_error: Line one xxx") && shown.endsWith(QChar(0x2026)),
                 qPrintable(shown));
    }

    // Without the request's state a redirect may come from anyone: the
    // session is left waiting, error answers included.
    void redirectWithAnotherStateIsRefused_data()
    {
        QTest::addColumn<QString>("query");
        QTest::newRow("another state") << "code=abc&state=forged";
        QTest::newRow("no state") << "code=abc";
        QTest::newRow("state twice") << "code=abc&state=%1&state=%1";
        QTest::newRow("a longer state") << "code=abc&state=%1x";
        QTest::newRow("forged error") << "error=access_denied&error_description=Locked";
        QTest::newRow("error with another state") << "error=access_denied&state=forged";
    }

    void redirectWithAnotherStateIsRefused()
    {
        QFETCH(QString, query);
        const auto r = request();
        const QUrl url("http://127.0.0.1:8765/?" + query.replace("%1", *r.state));
        AuthorizationSession session(r, [](auto, auto) { QFAIL("a refused redirect ends no session"); });
        QVERIFY(session.refusesRedirect(url));
        QVERIFY(!session.resumeFlowWithURL(url));
        QVERIFY(!session.isFinished());
        QVERIFY(!session.refusesRedirect(QUrl("http://127.0.0.1:8765/?code=a&state=" + *r.state)));
        QVERIFY(!session.refusesRedirect(QUrl("http://127.0.0.1:9999/?code=a&state=x"))); // not ours at all

        const auto checked = checkRedirect(r, url);
        const Error &error = std::get<Error>(checked);
        QVERIFY(error.is(AuthorizationErrorDomain, OAuthClientError));
        QVERIFY2(!error.description().contains(*r.state), "the expected state must not be shown");
        QVERIFY2(!error.description().contains("abc"), "the code must not be shown");
    }

    void redirectMustNameTheConfiguredIssuer()
    {
        const auto r = requestToIssuer(true);
        const QString state = "&state=" + *r.state;
        const QString evil = "iss=https%3A%2F%2Fevil.example";
        QVERIFY(offer(r, QUrl("http://127.0.0.1:8765/?code=a&iss=https%3A%2F%2Faccounts.example.com" + state))
                    .response);
        // Advertised means required (RFC 9207 section 2.4).
        auto outcome = offer(r, QUrl("http://127.0.0.1:8765/?code=a" + state));
        QVERIFY(outcome.error->is(AuthorizationErrorDomain, OAuthClientError));
        QVERIFY2(outcome.error->description().startsWith(
                     "Issuer mismatch, expecting https://accounts.example.com but got none"),
                 qPrintable(outcome.error->description()));

        outcome = offer(r, QUrl("http://127.0.0.1:8765/?code=a&" + evil + state));
        QVERIFY(outcome.accepted);
        QVERIFY(!outcome.response);
        QVERIFY(outcome.error->is(AuthorizationErrorDomain, OAuthClientError));
        QVERIFY2(outcome.error->description().startsWith(
                     "Issuer mismatch, expecting https://accounts.example.com but got https://evil.example"),
                 qPrintable(outcome.error->description()));
        QVERIFY2(!outcome.error->description().contains("code"), "the code must not be shown");
        // An error answer from another provider is refused as a mix-up too.
        outcome = offer(r, QUrl("http://127.0.0.1:8765/?error=access_denied&" + evil + state));
        QVERIFY(outcome.error->is(AuthorizationErrorDomain, OAuthClientError));
        // Twice, even with the right one among them.
        outcome = offer(
            r, QUrl("http://127.0.0.1:8765/?code=a&iss=https%3A%2F%2Faccounts.example.com&" + evil + state));
        QVERIFY(outcome.error->is(AuthorizationErrorDomain, OAuthClientError));
        // A provider that does not advertise the parameter is not held to it.
        const auto quiet = requestToIssuer(false);
        QVERIFY(
            offer(quiet, QUrl("http://127.0.0.1:8765/?code=a&" + evil + "&state=" + *quiet.state)).response);
        QVERIFY(offer(quiet, QUrl("http://127.0.0.1:8765/?code=a&state=" + *quiet.state)).response);
    }

    void insecureEndpointsAreRefused()
    {
        const QUrl remoteToken("http://accounts.example.com/token");
        injectDiscovery(200,
                        QJsonDocument(documentWith("https://a.test/auth", remoteToken.toString())).toJson());
        verifyInsecure(discoverAt(m_sandbox->baseUrl()).error, remoteToken);
        const QUrl remoteAuth("http://accounts.example.com/auth");
        injectDiscovery(200, QJsonDocument(documentWith(remoteAuth.toString(), "https://a.test/t")).toJson());
        verifyInsecure(discoverAt(m_sandbox->baseUrl()).error, remoteAuth);
        // An issuer in clear is not even asked.
        verifyInsecure(discoverAt(QUrl("http://accounts.example.com")).error,
                       QUrl("http://accounts.example.com/.well-known/openid-configuration"));

        // Configurations made otherwise (or kept in the keychain) are refused too.
        ServiceConfiguration configuration;
        configuration.authorizationEndpoint = remoteAuth;
        configuration.tokenEndpoint = remoteToken;
        const auto refresh = TokenRequest::make(configuration, GrantTypeRefreshToken, std::nullopt, QUrl(),
                                                "id", QStringLiteral("secret"), std::nullopt,
                                                QStringLiteral("refresh"), std::nullopt);
        verifyInsecure(oauthtest::performTokenRequest(refresh, std::nullopt).error, remoteToken);

        QList<QUrl> opened;
        support::ScopedUrlOpener opener([&](const QUrl &url) {
            opened.append(url);
            return true;
        });
        auto outcome = runTask(
            awaitCompletion<std::shared_ptr<AuthState>>([&](Completion<std::shared_ptr<AuthState>> done) {
                presentAuthorizationRequest(oauthtest::makeRequest(configuration, std::nullopt),
                                            std::move(done));
            }));
        verifyInsecure(outcome.error, remoteAuth);
        QVERIFY(opened.isEmpty());

        // Only https, or plain http to this machine.
        QVERIFY(!insecureEndpointError(QUrl("https://accounts.example.com/t")));
        QVERIFY(!insecureEndpointError(QUrl("http://[::1]:8080/t")));
        QVERIFY(insecureEndpointError(QUrl("ftp://accounts.example.com/t")));
        QVERIFY(insecureEndpointError(QUrl()));
    }

    void sessionCompletesOnlyOnce()
    {
        int calls = 0;
        const auto r = request();
        AuthorizationSession session(r, [&calls](auto, auto) { ++calls; });
        QVERIFY(session.resumeFlowWithURL(QUrl("http://127.0.0.1:8765/?code=a&state=" + *r.state)));
        QVERIFY(!session.resumeFlowWithURL(QUrl("http://127.0.0.1:8765/?code=b&state=" + *r.state)));
        session.cancel();
        QTest::qWait(50); // no second completion meanwhile
        QCOMPARE(calls, 1);
    }

    void discoveryURLAddsOneSlash()
    {
        QCOMPARE(discoveryURL(QUrl("https://accounts.example.com")),
                 QUrl("https://accounts.example.com/.well-known/openid-configuration"));
        QCOMPARE(discoveryURL(QUrl("https://accounts.example.com/")),
                 QUrl("https://accounts.example.com/.well-known/openid-configuration"));
        QCOMPARE(discoveryURL(QUrl("https://example.com/tenant")),
                 QUrl("https://example.com/tenant/.well-known/openid-configuration"));
    }

    void discoveryReadsTheProviderDocument()
    {
        const auto outcome = discoverAt(m_sandbox->baseUrl());
        QVERIFY(outcome.value);
        QCOMPARE(outcome.value->tokenEndpoint.host(), QStringLiteral("127.0.0.1"));
        QVERIFY(!outcome.value->authorizationEndpoint.isEmpty());
        QVERIFY(!outcome.value->issuer.isEmpty());
        QVERIFY(outcome.value->discoveryDocument->discoveryDictionary.contains("jwks_uri"));
    }

    void discoveryFailuresAreReported()
    {
        const QString url = discoveryURL(m_sandbox->baseUrl()).toString();
        injectDiscovery(404, "not here");
        auto outcome = discoverAt(m_sandbox->baseUrl());
        QCOMPARE(outcome.error->code(), -5);
        QCOMPARE(outcome.error->description(),
                 QStringLiteral("Non-200 HTTP response (404) fetching discovery document '%1'.").arg(url));
        QCOMPARE(outcome.error->underlying()->domain(), RemoteHTTPErrorDomain);
        QCOMPARE(outcome.error->underlying()->code(), 404);
        QCOMPARE(outcome.error->underlying()->description(), QStringLiteral("not here"));

        QJsonObject document{
            {"issuer", "https://a.test"},           {"authorization_endpoint", "https://a.test/a"},
            {"token_endpoint", "https://a.test/t"}, {"response_types_supported", "x"},
            {"subject_types_supported", "x"},       {"id_token_signing_alg_values_supported", "x"}};
        injectDiscovery(200, QJsonDocument(document).toJson());
        outcome = discoverAt(m_sandbox->baseUrl());
        QCOMPARE(outcome.error->code(), -5);
        QCOMPARE(outcome.error->underlying()->code(), -2);
        QCOMPARE(outcome.error->underlying()->description(), QStringLiteral("Missing field: jwks_uri"));
        QCOMPARE(outcome.error->description(),
                 QStringLiteral("JSON error parsing document at '%1': Missing field: jwks_uri").arg(url));

        document.insert("jwks_uri", 42);
        injectDiscovery(200, QJsonDocument(document).toJson());
        QCOMPARE(discoverAt(m_sandbox->baseUrl()).error->underlying()->description(),
                 QStringLiteral("Invalid URL: jwks_uri"));

        injectDiscovery(200, "[1, 2]");
        QCOMPARE(discoverAt(m_sandbox->baseUrl()).error->underlying()->description(),
                 QStringLiteral("Discovery document isn't a dictionary"));

        injectDiscovery(200, "{\"issuer\": ");
        QCOMPARE(discoverAt(m_sandbox->baseUrl()).error->underlying()->code(), -7);
    }

    // Exact text (OpenID Connect Discovery section 4.3): another host name
    // for the same address, or a trailing slash, is another issuer.
    void discoveryMustNameTheConfiguredIssuer_data()
    {
        QTest::addColumn<QString>("named");
        QTest::newRow("another provider") << "https://accounts.example.com";
        QTest::newRow("localhost for 127.0.0.1") << "http://localhost:%1";
        QTest::newRow("trailing slash") << "http://127.0.0.1:%1/";
    }

    void discoveryMustNameTheConfiguredIssuer()
    {
        QFETCH(QString, named);
        named.replace("%1", QString::number(m_sandbox->baseUrl().port()));
        m_sandbox->control("POST", QStringLiteral("discovery-issuer"), QJsonObject{{"issuer", named}});
        const auto ownIssuerAgain = qScopeGuard(
            [this] { m_sandbox->control("POST", QStringLiteral("discovery-issuer"), QJsonObject{}); });
        const auto outcome = discoverAt(m_sandbox->baseUrl());
        QVERIFY(!outcome.value);
        QVERIFY(outcome.error->is(GeneralErrorDomain, InvalidDiscoveryDocument));
        QCOMPARE(
            outcome.error->description(),
            QStringLiteral("The discovery document names the issuer '%1', not the configured issuer '%2'.")
                .arg(named, m_sandbox->baseUrl().toString()));
    }

    void discoveryWithoutServerIsAConnectionError()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QUrl issuer(QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort()));
        probe.close();
        const auto outcome = discoverAt(issuer);
        QCOMPARE(outcome.error->code(), -5);
        QVERIFY(outcome.error->description().startsWith("Connection error fetching discovery document"));
        QVERIFY(outcome.error->underlying());
    }
};

QTEST_GUILESS_MAIN(TestAuthorization)
#include "tst_authorization.moc"
