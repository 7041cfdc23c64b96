// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The session as the REST layer's authorizer, and the stored form of a session.

#include "Fixture.h"
#include "OAuthTestSupport.h"
#include "oauth/Archive.h"
#include "oauth/AuthSession.h"
#include "oauth/OAuthError.h"
#include "rest/HTTPFetcher.h"
#include "core/Provider.h"

#include <QFile>
#include <QJsonDocument>

using namespace oauth;
using namespace oauthtest;

namespace {

struct Authorized
{
    rest::HttpRequest request;
    std::optional<Error> error;
    bool called = false;
};

Authorized authorize(AuthSession &session, const QUrl &url)
{
    auto result = std::make_shared<Authorized>();
    rest::HttpRequest request;
    request.url = url;
    session.authorizeRequest(request, [result](rest::HttpRequest authorized, std::optional<Error> error) {
        *result = {authorized, error, true};
    });
    TL_WAITED([&] { return result->called; }, 15000, "the request to be authorized");
    return *result;
}

QByteArray bearer(const std::shared_ptr<AuthState> &state)
{
    return "Bearer " + state->accessToken().value_or(QString()).toUtf8();
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    const QUrl m_https{QStringLiteral("https://www.googleapis.com/drive/v3/files")};

private slots:
    void initTestCase()
    {
        // The process's provider is the sandbox, as in the demo and the app tests.
        TL_START_PROVIDER(m_sandbox);
        QVERIFY(Provider::current().isLoopback());
    }

    void init()
    {
        m_sandbox->reset();
        m_sandbox->clearLog();
    }

    void bearerTokenOnlyOverHttpsOrToTheLoopbackProvider()
    {
        const auto state = mintedState(*m_sandbox, 3600);
        AuthSession session(state);
        QVERIFY(session.canAuthorize());
        auto result = authorize(session, m_https);
        QVERIFY(!result.error);
        QCOMPARE(result.request.header("Authorization"), bearer(state));
        QVERIFY(session.isAuthorizedRequest(result.request));

        result = authorize(session, m_sandbox->url("/gmail/v1/users/me/messages"));
        QVERIFY(!result.error);
        QCOMPARE(result.request.header("Authorization"), bearer(state));

        result = authorize(session, QUrl("http://www.example.com/x"));
        QVERIFY(!result.request.hasHeader("Authorization"));
        QCOMPARE(result.error->domain(), AuthSessionErrorDomain);
        QCOMPARE(result.error->code(), 0);
        QCOMPARE(result.error->userInfoValue("request").toString(),
                 QStringLiteral("http://www.example.com/x"));

        session.authorizesLoopbackHttp = false;
        result = authorize(session, m_sandbox->url("/gmail/v1/users/me/messages"));
        QCOMPARE(result.error->code(), 0);
        session.shouldAuthorizeAllRequests = true;
        QVERIFY(!authorize(session, QUrl("http://www.example.com/x")).error);
        QCOMPARE(session.pendingAuthorizationCount(), 0);
    }

    void emptyAccessTokenIsRefused()
    {
        const auto minted = mintedState(*m_sandbox, 3600);
        const auto response = TokenResponse::fromJson(minted->lastTokenResponse()->request,
                                                      {{"access_token", ""}, {"expires_in", 3600}});
        AuthSession session(AuthState::create(minted->lastAuthorizationResponse(), response));
        const auto result = authorize(session, m_https);
        QCOMPARE(result.error->domain(), AuthSessionErrorDomain);
        QCOMPARE(result.error->code(), 1);
        QVERIFY(!result.request.hasHeader("Authorization"));
    }

    void staleTokenIsRefreshedBeforeUse()
    {
        const auto state = mintedState(*m_sandbox, 10);
        const auto old = state->accessToken();
        AuthSession session(state);
        const auto result = authorize(session, m_https);
        QVERIFY(!result.error);
        QVERIFY(state->accessToken() != old);
        QCOMPARE(result.request.header("Authorization"), bearer(state));
        QCOMPARE(countRequests(*m_sandbox, "POST", "/token"), 1);
    }

    void transientRefreshFailureStillSendsTheOldToken()
    {
        const auto state = mintedState(*m_sandbox, 10);
        const QByteArray old = bearer(state);
        m_sandbox->injectFault({{"route", "POST /token"}, {"status", 503}, {"body", "busy"}, {"count", -1}});
        AuthSession session(state);
        const auto result = authorize(session, m_https);
        QVERIFY(!result.error);
        QCOMPARE(result.request.header("Authorization"), old);
        QVERIFY(!state->authorizationError());
    }

    void revokedGrantFailsWithTheOAuthError()
    {
        const auto state = mintedState(*m_sandbox, 10);
        m_sandbox->revoke(Sandbox::AlexSub);
        AuthSession session(state);
        const auto result = authorize(session, m_https);
        QCOMPARE(result.error->domain(), TokenErrorDomain);
        QCOMPARE(result.error->code(), -10);
        QVERIFY(!result.request.hasHeader("Authorization"));
        QVERIFY(!session.canAuthorize());
    }

    void primingNeedsARefreshToken()
    {
        const auto state = mintedState(*m_sandbox, 3600);
        AuthSession session(state);
        QVERIFY(session.offersPrimeForRefresh());
        QVERIFY(session.primeForRefresh());
        QVERIFY(state->needsTokenRefresh());

        const auto bare = AuthState::create(
            state->lastAuthorizationResponse(),
            TokenResponse::fromJson(state->lastTokenResponse()->request, {{"access_token", "a"}}));
        AuthSession withoutRefresh(bare);
        QVERIFY(!withoutRefresh.primeForRefresh());
        QVERIFY(!bare->needsTokenRefresh());
    }

    void unauthorizedAnswerLeadsToOneRefreshAndOneRetry()
    {
        const auto state = mintedState(*m_sandbox, 3600);
        const auto old = state->accessToken();
        auto session = std::make_shared<AuthSession>(state);
        // The provider no longer honours the token the session still thinks fresh.
        m_sandbox->expireAccessTokens(Sandbox::AlexSub);
        m_sandbox->clearLog();

        rest::HttpRequest request;
        request.url = m_sandbox->url("/gmail/v1/users/me/messages?maxResults=1");
        auto fetcher = rest::HTTPFetcher::fetcherWithRequest(request);
        fetcher->authorizer = session;
        fetcher->allowLocalhostRequest = true;
        bool done = false;
        std::optional<Error> error;
        fetcher->beginFetch([&](const QByteArray &, std::optional<Error> e) {
            error = e;
            done = true;
        });
        TL_WAIT([&] { return done; }, 15000, "the fetch to end");
        QVERIFY2(!error, qPrintable(error ? error->description() : QString()));
        QVERIFY(state->accessToken() != old);

        QList<int> statuses;
        for (const QJsonValue &entry : m_sandbox->requestLog()) {
            const QJsonObject object = entry.toObject();
            if (object.value("path").toString() == u"/gmail/v1/users/me/messages")
                statuses.append(object.value("status").toInt());
        }
        QCOMPARE(statuses, QList<int>({401, 200}));
        QCOMPARE(countRequests(*m_sandbox, "POST", "/token"), 1);
    }

    void userFieldsComeFromTheIDToken()
    {
        AuthSession session(signIn(*m_sandbox));
        QCOMPARE(session.userID, std::optional<QString>(Sandbox::AlexSub));
        QCOMPARE(session.userEmail, std::optional<QString>("alex.rivera@example.com"));
        QVERIFY(!session.serviceProvider);
    }

    void archiveRoundTripKeepsTheTokenState()
    {
        const auto state = signIn(*m_sandbox);
        state->setNeedsTokenRefresh();
        AuthSession session(state);
        session.serviceProvider = QStringLiteral("Google");
        const QByteArray data = archive::archiveAuthSession(session);

        const auto restored = archive::unarchiveAuthSession(data);
        QVERIFY(restored);
        const auto copy = restored->authState();
        QCOMPARE(copy->lastAuthorizationResponse(), state->lastAuthorizationResponse());
        QCOMPARE(copy->lastTokenResponse(), state->lastTokenResponse());
        QCOMPARE(copy->accessToken(), state->accessToken());
        QCOMPARE(copy->accessTokenExpirationDate(), state->accessTokenExpirationDate());
        QCOMPARE(copy->refreshToken(), state->refreshToken());
        QCOMPARE(copy->scope(), state->scope());
        QVERIFY(copy->needsTokenRefresh());
        QCOMPARE(restored->userID, session.userID);
        QCOMPARE(restored->userEmail, session.userEmail);
        QCOMPARE(restored->serviceProvider, session.serviceProvider);

        const QJsonObject root = QJsonDocument::fromJson(data).object().value("root").toObject();
        QCOMPARE(root.value("$class").toString(), QStringLiteral("AuthSession"));
        const QJsonObject archivedState = root.value("authState").toObject();
        QCOMPARE(archivedState.value("$class").toString(), QStringLiteral("AuthState"));
        for (const char *key :
             {"lastAuthorizationResponse", "lastTokenResponse", "scope", "refreshToken", "needsTokenRefresh"})
            QVERIFY2(archivedState.contains(key), key);
    }

    // A session that an earlier build stored reads back and is written again
    // field for field: the keychain keeps its format.
    void storedArchiveReadsBackAndIsWrittenTheSame()
    {
        QFile stored(QStringLiteral(TL_SOURCE_DIR "/tests/oauth/stored-session.json"));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray data = stored.readAll();
        const auto session = archive::unarchiveAuthSession(data);
        QVERIFY(session);
        QCOMPARE(QJsonDocument::fromJson(archive::archiveAuthSession(*session)),
                 QJsonDocument::fromJson(data));
    }

    void archivedAuthorizationErrorKeepsDomainAndCode()
    {
        const auto state = mintedState(*m_sandbox, 10);
        m_sandbox->revoke(Sandbox::AlexSub);
        freshTokens(state);
        const auto restored = archive::unarchiveAuthSession(archive::archiveAuthSession(AuthSession(state)));
        QVERIFY(restored);
        const auto error = restored->authState()->authorizationError();
        QCOMPARE(error->domain(), TokenErrorDomain);
        QCOMPARE(error->code(), -10);
        QVERIFY(!restored->canAuthorize());
    }

    void foreignOrDamagedArchivesAreRejected()
    {
        const QByteArray good = archive::archiveAuthSession(AuthSession(mintedState(*m_sandbox, 3600)));
        QVERIFY(archive::unarchiveAuthSession(good));
        for (int cut = 0; cut < good.size(); cut += 97)
            QVERIFY(!archive::unarchiveAuthSession(good.left(cut)));
        QVERIFY(!archive::unarchiveAuthSession("bplist00\xd4\x01\x02\x03"));
        QVERIFY(!archive::unarchiveAuthSession("{\"root\": {\"$class\": \"AuthSession\"}}"));

        const QJsonObject envelope = QJsonDocument::fromJson(good).object();
        const auto mutated = [&](const std::function<void(QJsonObject &)> &change) {
            QJsonObject copy = envelope;
            change(copy);
            return archive::unarchiveAuthSession(QJsonDocument(copy).toJson());
        };
        QVERIFY(!mutated([](QJsonObject &o) { o.insert("version", 2); }));
        QVERIFY(!mutated([](QJsonObject &o) {
            QJsonObject root = o.value("root").toObject();
            root.insert("$class", "AuthState");
            o.insert("root", root);
        }));
        QVERIFY(!mutated([](QJsonObject &o) {
            QJsonObject root = o.value("root").toObject();
            QJsonObject state = root.value("authState").toObject();
            state.insert("refreshToken", 5);
            root.insert("authState", state);
            o.insert("root", root);
        }));
        QVERIFY(!mutated([](QJsonObject &o) {
            QJsonObject root = o.value("root").toObject();
            QJsonObject state = root.value("authState").toObject();
            state.remove("lastAuthorizationResponse");
            root.insert("authState", state);
            o.insert("root", root);
        }));
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
