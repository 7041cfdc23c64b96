// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The HTTP fetcher against a loopback server (and the sandbox for
// connection reuse).

#include "LoopbackServer.h"
#include "Sandbox.h"
#include "TestAuthorizer.h"
#include "Wait.h"
#include "rest/HTTPFetcher.h"

#include <QElapsedTimer>
#include <QTest>

using namespace rest;

namespace {

struct Outcome
{
    int calls = 0;
    QByteArray data;
    std::optional<Error> error;
};

std::shared_ptr<Outcome> begin(const HTTPFetcherPtr &fetcher)
{
    auto outcome = std::make_shared<Outcome>();
    fetcher->beginFetch([outcome](const QByteArray &data, std::optional<Error> error) {
        ++outcome->calls;
        outcome->data = data;
        outcome->error = error;
    });
    return outcome;
}

HTTPFetcherServicePtr loopbackService()
{
    auto service = HTTPFetcherService::create();
    service->allowLocalhostRequest = true;
    return service;
}

HttpRequest get(const QUrl &url)
{
    HttpRequest request;
    request.url = url;
    return request;
}

} // namespace

class FetcherTest : public QObject
{
    Q_OBJECT
private slots:
    void insecureURLsAreRefusedBeforeConnecting()
    {
        LoopbackServer server;
        // Plain http to a remote host: refused whatever the loopback switch says.
        auto remote = loopbackService()->fetcherWithRequest(get(QUrl("http://example.com/x?secret=1")));
        auto refused = begin(remote);
        // Plain http to loopback without the switch: refused too, with no connection.
        auto local = HTTPFetcherService::create()->fetcherWithRequest(get(server.url("/x")));
        auto refusedLocal = begin(local);
        QCOMPARE(refused->calls, 0); // never inside the call
        QTRY_COMPARE(refused->calls, 1);
        QTRY_COMPARE(refusedLocal->calls, 1);
        QVERIFY(refused->error->is("http.fetcher", -5));
        QCOMPARE(refused->error->userInfoValue(FailingURLKey).toUrl(), QUrl("http://example.com/x?secret=1"));
        QVERIFY(refusedLocal->error->is("http.fetcher", -5));
        QTest::qWait(100); // no connection and no second call meanwhile
        QCOMPARE(server.connectionCount(), 0);
        QCOMPARE(refused->calls, 1);
    }

    void eleventhRequestWaitsForAFreeSlot()
    {
        LoopbackServer server([](const LoopbackRequest &) { return std::nullopt; });
        auto service = loopbackService();
        QList<std::shared_ptr<Outcome>> outcomes;
        for (int i = 0; i < 11; ++i)
            outcomes.append(
                begin(service->fetcherWithRequest(get(server.url(QStringLiteral("/r%1").arg(i))))));
        QTRY_VERIFY(server.heldCount() >= 6);
        QCOMPARE(service->runningFetcherCount("127.0.0.1"), 10);
        QCOMPARE(service->delayedFetcherCount("127.0.0.1"), 1);
        for (const auto &r : server.requests())
            QVERIFY(r.path() != "/r10");

        server.answerHeld(LoopbackResponse::json(200, "{}"));
        QTRY_COMPARE(service->delayedFetcherCount("127.0.0.1"), 0);
        QCOMPARE(service->runningFetcherCount("127.0.0.1"), 10);
        // Answers held requests one by one until the delayed one is sent.
        tltest::waitUntil([&] {
            if (server.heldCount() > 0)
                server.answerHeld(LoopbackResponse::json(200, "{}"));
            return server.requests().size() >= 11;
        });
        QTRY_COMPARE(server.requests().size(), 11);
        QCOMPARE(server.requests().last().path(), QByteArray("/r10"));
        while (server.heldCount() > 0)
            server.answerHeld(LoopbackResponse::json(200, "{}"));
        for (const auto &o : outcomes)
            QTRY_COMPARE(o->calls, 1);
        QCOMPARE(service->runningFetcherCount("127.0.0.1"), 0);
    }

    void retriesOnceAfter401WithFreshCredentials()
    {
        int hits = 0;
        LoopbackServer server([&](const LoopbackRequest &) {
            return ++hits == 1 ? LoopbackResponse::json(401, "{\"error\":\"expired\"}")
                               : LoopbackResponse::json(200, "{\"ok\":true}");
        });
        auto authorizer = std::make_shared<TestAuthorizer>();
        auto service = loopbackService();
        service->authorizer = authorizer;
        QElapsedTimer clock;
        clock.start();
        auto outcome = begin(service->fetcherWithRequest(get(server.url("/data"))));
        QTRY_COMPARE_WITH_TIMEOUT(outcome->calls, 1, 5000);
        QVERIFY(!outcome->error);
        QCOMPARE(outcome->data, QByteArray("{\"ok\":true}"));
        QCOMPARE(server.requests().size(), 2);
        QCOMPARE(server.requests()[0].header("Authorization"), QByteArray("Bearer token-1"));
        QCOMPARE(server.requests()[1].header("Authorization"), QByteArray("Bearer token-2"));
        QVERIFY(clock.elapsed() >= 1000);
        QVERIFY(clock.elapsed() < 3000);
    }

    void repeatedOrUnrefreshable401IsReported()
    {
        LoopbackServer server([](const LoopbackRequest &) {
            return LoopbackResponse::json(401, "{\"error\":{\"code\":401}}");
        });
        auto authorizer = std::make_shared<TestAuthorizer>();
        auto service = loopbackService();
        service->authorizer = authorizer;
        auto twice = begin(service->fetcherWithRequest(get(server.url("/a"))));
        QTRY_COMPARE_WITH_TIMEOUT(twice->calls, 1, 5000);
        QCOMPARE(server.requests().size(), 2);
        QVERIFY(twice->error->is("http.status", 401));
        QCOMPARE(twice->error->userInfoValue(StatusDataKey).toByteArray(),
                 QByteArray("{\"error\":{\"code\":401}}"));
        QCOMPARE(twice->error->userInfoValue(StatusDataContentTypeKey).toString(),
                 QStringLiteral("application/json; charset=UTF-8"));
        QCOMPARE(twice->data, QByteArray("{\"error\":{\"code\":401}}"));

        authorizer->refreshPossible = false;
        QElapsedTimer clock;
        clock.start();
        auto once = begin(service->fetcherWithRequest(get(server.url("/b"))));
        QTRY_COMPARE(once->calls, 1);
        QVERIFY(clock.elapsed() < 900);
        QCOMPARE(server.requests().size(), 3);
        QVERIFY(once->error->is("http.status", 401));
    }

    void authorizerErrorSendsNothing()
    {
        LoopbackServer server;
        auto authorizer = std::make_shared<TestAuthorizer>();
        authorizer->failure = Error::make("AuthSessionErrorDomain", 0, "no token");
        auto service = loopbackService();
        service->authorizer = authorizer;
        auto outcome = begin(service->fetcherWithRequest(get(server.url("/x"))));
        QTRY_COMPARE(outcome->calls, 1);
        QCOMPARE(*outcome->error, *authorizer->failure);
        QTest::qWait(50); // no connection meanwhile
        QCOMPARE(server.connectionCount(), 0);
    }

    void badAnswersEndOnceWithAnError_data()
    {
        QTest::addColumn<LoopbackResponse>("response");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("code");
        QTest::newRow("cut mid-body")
            << LoopbackResponse{200, {}, QByteArray(4000, 'x'), true} << "url" << -1005;
        QTest::newRow("html 502") << LoopbackResponse{502,
                                                      {{"Content-Type", "text/html"}},
                                                      "<html>Bad gateway</html>"}
                                  << "http.status" << 502;
        QTest::newRow("redirect 304") << LoopbackResponse{304, {}, {}} << "http.status" << 304;
    }
    void badAnswersEndOnceWithAnError()
    {
        QFETCH(LoopbackResponse, response);
        QFETCH(QString, domain);
        QFETCH(int, code);
        LoopbackServer server([&](const LoopbackRequest &) { return response; });
        auto outcome = begin(loopbackService()->fetcherWithRequest(get(server.url("/x"))));
        QTRY_COMPARE(outcome->calls, 1);
        QVERIFY2(outcome->error && outcome->error->is(domain, code),
                 qPrintable(outcome->error ? outcome->error->description() : QString("no error")));
        QTest::qWait(50); // no second call meanwhile
        QCOMPARE(outcome->calls, 1);
    }

    void requestIsCompletedBeforeSending()
    {
        LoopbackServer server;
        HttpRequest request = get(server.url("/x"));
        request.body = "payload";
        auto outcome = begin(loopbackService()->fetcherWithRequest(request));
        QTRY_COMPARE(outcome->calls, 1);
        const LoopbackRequest &sent = server.requests().value(0);
        QCOMPARE(sent.method, QByteArray("POST")); // a GET with a body
        QCOMPARE(sent.body, QByteArray("payload"));
        QVERIFY(sent.header("User-Agent").contains("Linux/"));
    }

    void stoppedFetcherNeverCallsBack()
    {
        LoopbackServer server([](const LoopbackRequest &) { return std::nullopt; });
        auto fetcher = loopbackService()->fetcherWithRequest(get(server.url("/x")));
        auto outcome = begin(fetcher);
        QTRY_COMPARE(server.heldCount(), 1);
        fetcher->stopFetching();
        QTest::qWait(100); // no call meanwhile
        QCOMPARE(outcome->calls, 0);
        QVERIFY(!fetcher->isFetching());
    }

    void cancelledTaskReportsCancelled()
    {
        LoopbackServer server([](const LoopbackRequest &) { return std::nullopt; });
        std::optional<Error> result;
        int calls = 0;
        auto task = HttpsTransport::shared().dataTask(
            get(server.url("/x")), [&](const QByteArray &, const HttpResponse &, std::optional<Error> error) {
                ++calls;
                result = error;
            });
        QTRY_COMPARE(server.heldCount(), 1);
        task->cancel();
        QTRY_COMPARE(calls, 1);
        QVERIFY(result->is("url", -999));
    }

    void userAgentPieces()
    {
        QCOMPARE(cleanedUserAgentString("app.tarnlight test,x (beta)/\"q\"{}"),
                 QStringLiteral("app.tarnlight_test_x_betaq"));
        QCOMPARE(userAgentApplicationIdentifier("app.tarnlight my app", "1.0 beta", "tl"),
                 QStringLiteral("app.tarnlight_my_app/1.0_beta"));
        QCOMPARE(userAgentApplicationIdentifier("", "", "tarnlight"), QStringLiteral("proc_tarnlight"));
        QVERIFY(QRegularExpression("^Linux/\\d+\\.\\d+\\.\\d+$").match(userAgentSystemVersion()).hasMatch());
    }

    void sequentialRequestsShareOneConnection()
    {
        Sandbox sandbox;
        QVERIFY(sandbox.isRunning());
        sandbox.clearLog();
        auto service = loopbackService();
        for (int i = 0; i < 10; ++i) {
            auto outcome = begin(
                service->fetcherWithRequest(get(sandbox.url("/.well-known/openid-configuration"))));
            QTRY_COMPARE(outcome->calls, 1);
            QVERIFY(!outcome->error);
        }
        const QJsonArray log = sandbox.requestLog();
        QCOMPARE(log.size(), 10);
        const QString first = log.first().toObject().value("connection").toString();
        QVERIFY(!first.isEmpty());
        for (const QJsonValue &entry : log)
            QCOMPARE(entry.toObject().value("connection").toString(), first);
    }
};

QTEST_GUILESS_MAIN(FetcherTest)
#include "tst_fetcher.moc"
