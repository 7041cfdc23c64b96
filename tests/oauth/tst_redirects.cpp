// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// No request follows a redirect: a 302 or 307 pointing at another loopback
// server is the answer itself, and the other server receives nothing, not the
// bearer token of a fetch, not the client secret and refresh token of a token
// request, not a discovery request and not the bytes of an upload chunk.

#include "../rest/LoopbackServer.h"
#include "../rest/TestAuthorizer.h"
#include "TaskRunner.h"
#include "oauth/AuthorizationService.h"
#include "oauth/OAuthError.h"
#include "rest/UploadFetcher.h"
#include "support/Completion.h"

#include <QTest>

using namespace rest;

namespace {

struct Fetched
{
    bool done = false;
    QByteArray data;
    std::optional<Error> error;
};

std::shared_ptr<Fetched> begin(const HTTPFetcherPtr &fetcher)
{
    auto fetched = std::make_shared<Fetched>();
    fetcher->beginFetch([fetched](const QByteArray &data, std::optional<Error> error) {
        *fetched = {true, data, error};
    });
    return fetched;
}

HTTPFetcherServicePtr loopbackService()
{
    auto service = HTTPFetcherService::create();
    service->allowLocalhostRequest = true;
    return service;
}

} // namespace

class RedirectsTest : public QObject
{
    Q_OBJECT

    LoopbackServer m_elsewhere;
    int m_status = 0;

    // The first server answers every request with a redirect to the second.
    LoopbackResponse redirect(const QByteArray &path) const
    {
        return {m_status,
                {{"Location", m_elsewhere.url(QString::fromLatin1(path)).toEncoded()},
                 {"Content-Type", "text/html"}},
                "<html>moved</html>"};
    }

private slots:
    void init()
    {
        QFETCH_GLOBAL(int, status);
        m_status = status;
    }

    void cleanup() { QCOMPARE(m_elsewhere.requests().size(), 0); }

    void initTestCase_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("302") << 302;
        QTest::newRow("307") << 307;
    }

    void fetchGetsTheRedirectAsItsAnswer()
    {
        LoopbackServer first([this](const LoopbackRequest &) { return redirect("/api"); });
        HttpRequest request;
        request.url = first.url("/api");
        auto fetcher = loopbackService()->fetcherWithRequest(request);
        fetcher->authorizer = std::make_shared<TestAuthorizer>();
        const auto fetched = begin(fetcher);
        QTRY_VERIFY(fetched->done);
        QVERIFY(fetched->error);
        QVERIFY(fetched->error->is(StatusErrorDomain, m_status));
        QCOMPARE(fetched->data, QByteArray("<html>moved</html>"));
        QCOMPARE(fetcher->statusCode(), m_status);
        QCOMPARE(fetcher->response().header("Location"), m_elsewhere.url("/api").toEncoded());
        QCOMPARE(first.requests().size(), 1);
        QCOMPARE(first.requests()[0].header("Authorization"), QByteArray("Bearer token-1"));
    }

    void tokenRequestGetsTheRedirectAsItsAnswer()
    {
        LoopbackServer first([this](const LoopbackRequest &) { return redirect("/token"); });
        oauth::ServiceConfiguration configuration;
        configuration.authorizationEndpoint = first.url("/auth");
        configuration.tokenEndpoint = first.url("/token");
        const auto refresh = oauth::TokenRequest::make(
            configuration, oauth::GrantTypeRefreshToken, std::nullopt, QUrl(), "client",
            QStringLiteral("secret"), std::nullopt, QStringLiteral("refresh-1"), std::nullopt);
        auto outcome = runTask(
            awaitCompletion<oauth::TokenResponse>([&](Completion<oauth::TokenResponse> done) {
                oauth::performTokenRequest(refresh, std::nullopt, std::move(done));
            }));
        QVERIFY(outcome.error);
        QVERIFY(outcome.error->is(oauth::GeneralErrorDomain, oauth::ServerError));
        QVERIFY(outcome.error->underlying()->is(oauth::RemoteHTTPErrorDomain, m_status));
        QCOMPARE(first.requests().size(), 1);
    }

    void discoveryGetsTheRedirectAsItsAnswer()
    {
        LoopbackServer first(
            [this](const LoopbackRequest &) { return redirect("/.well-known/openid-configuration"); });
        auto outcome = runTask(
            awaitCompletion<oauth::ServiceConfiguration>([&](Completion<oauth::ServiceConfiguration> done) {
                oauth::discoverServiceConfiguration(first.url("/"), std::move(done));
            }));
        QVERIFY(outcome.error);
        QVERIFY(outcome.error->is(oauth::GeneralErrorDomain, oauth::NetworkError));
        QVERIFY2(outcome.error->description().startsWith(
                     QStringLiteral("Non-200 HTTP response (%1)").arg(m_status)),
                 qPrintable(outcome.error->description()));
        QCOMPARE(first.requests().size(), 1);
    }

    void uploadChunkGetsTheRedirectAsItsAnswer()
    {
        LoopbackServer first;
        first.setHandler([this, &first](const LoopbackRequest &request) {
            if (request.method == "POST")
                return LoopbackResponse{200,
                                        {{"X-Goog-Upload-Status", "active"},
                                         {"X-Goog-Upload-URL", first.url("/upload/1").toEncoded()}},
                                        {}};
            return redirect("/upload/1");
        });
        HttpRequest start;
        start.url = first.url("/resumable/upload/files");
        start.body = "{}";
        auto upload = UploadFetcher::uploadFetcherWithRequest(
            start, UploadParameters::withData(QByteArray(1000, 'x'), "text/plain"),
            UploadFetcher::DefaultChunkSize);
        loopbackService()->adoptFetcher(upload);
        const auto fetched = begin(upload);
        QTRY_VERIFY(fetched->done);
        QVERIFY(fetched->error);
        QVERIFY(fetched->error->is(StatusErrorDomain, m_status));
        QCOMPARE(first.requests().size(), 2);
        QCOMPARE(first.requests()[1].method, QByteArray("PUT"));
    }
};

QTEST_GUILESS_MAIN(RedirectsTest)
#include "tst_redirects.moc"
