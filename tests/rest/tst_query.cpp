// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Query execution: the request on the wire and the mapping of answers.

#include "LoopbackServer.h"
#include "TestAuthorizer.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

#include <QJsonDocument>
#include <QTest>
#include <QThread>

using namespace rest;

namespace {

struct Result
{
    int calls = 0;
    RestObjectPtr object;
    std::optional<Error> error;
    bool onMainThread = false;
};

template<typename Service>
std::unique_ptr<Service> serviceFor(const LoopbackServer &server)
{
    auto service = std::make_unique<Service>();
    service->rootURLString = server.root();
    service->fetcherService->allowLocalhostRequest = true;
    return service;
}

std::shared_ptr<Result> run(RestService &service, const RestQueryPtr &query,
                            ServiceTicketPtr *ticketOut = nullptr)
{
    auto result = std::make_shared<Result>();
    auto ticket = service.executeQuery(query, [result](const ServiceTicketPtr &, const RestObjectPtr &object,
                                                       const std::optional<Error> &error) {
        ++result->calls;
        result->object = object;
        result->error = error;
        result->onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    if (ticketOut)
        *ticketOut = ticket;
    return result;
}

} // namespace

class QueryTest : public QObject
{
    Q_OBJECT
private slots:
    void listRequestOnTheWire()
    {
        LoopbackServer server;
        auto service = serviceFor<GmailAPIService>(server);
        service->authorizer = std::make_shared<TestAuthorizer>();
        auto query = GmailMessagesListQuery::query("me");
        query->setLabelIds({"UNREAD", "INBOX"});
        query->setMaxResults(25);
        query->setQ("from:a b");
        auto result = run(*service, query);
        QCOMPARE(result->calls, 0);
        QTRY_COMPARE(result->calls, 1);
        QVERIFY(result->onMainThread);
        const LoopbackRequest &sent = server.requests().value(0);
        QCOMPARE(sent.method, QByteArray("GET"));
        QCOMPARE(sent.target, QByteArray("/gmail/v1/users/me/messages?labelIds=UNREAD&labelIds=INBOX"
                                         "&maxResults=25&prettyPrint=false&q=from%3Aa%20b"));
        QCOMPARE(sent.header("Accept"), QByteArray("application/json"));
        QCOMPARE(sent.header("Content-Type"), QByteArray("application/json; charset=utf-8"));
        QCOMPARE(sent.header("Cache-Control"), QByteArray("no-cache"));
        QCOMPARE(sent.header("Authorization"), QByteArray("Bearer token-1"));
        const QByteArray agent = sent.header("User-Agent");
        QVERIFY2(agent.contains(" tarnlight-rest-client/1.0 Linux/") && agent.endsWith(" (gzip)"), agent);
        // The executed query is spent.
        QVERIFY(query->isInvalid());
        auto again = run(*service, query);
        QTRY_COMPARE(again->calls, 1);
        QVERIFY(again->error->is(QueryErrorDomain, QueryErrorInvalid));
        QCOMPARE(server.requests().size(), 1);
    }

    void callerPrettyPrintAndEncodedPath()
    {
        LoopbackServer server;
        auto service = serviceFor<GmailAPIService>(server);
        auto query = GmailMessagesGetQuery::query("me", "a/b@c d");
        query->setMetadataHeaders({"From", "Subject"});
        query->additionalURLQueryParameters.insert("prettyPrint", "true");
        auto result = run(*service, query);
        QTRY_COMPARE(result->calls, 1);
        QCOMPARE(server.requests().value(0).target,
                 QByteArray("/gmail/v1/users/me/messages/a%2Fb%40c%20d?metadataHeaders=From"
                            "&metadataHeaders=Subject&prettyPrint=true"));
    }

    void parametersJoinAnExistingQuery()
    {
        QCOMPARE(RestService::urlWithQueryParameters("https://h/p?k=1", {{"b", 2}, {"A", "x"}}),
                 std::optional<QString>("https://h/p?k=1&A=x&b=2"));
        QCOMPARE(RestService::urlWithQueryParameters("https://h/p", {}),
                 std::optional<QString>("https://h/p"));
    }

    void longURLTravelsAsPostBody()
    {
        LoopbackServer server;
        auto service = serviceFor<DriveAPIService>(server);
        auto query = DriveFilesListQuery::query();
        query->setQ(QString(2100, 'q'));
        auto result = run(*service, query);
        QTRY_COMPARE(result->calls, 1);
        const LoopbackRequest &sent = server.requests().value(0);
        QCOMPARE(sent.method, QByteArray("POST"));
        QCOMPARE(sent.target, QByteArray("/drive/v3/files"));
        QCOMPARE(sent.header("X-HTTP-Method-Override"), QByteArray("GET"));
        QCOMPARE(sent.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(sent.body, "prettyPrint=false&q=" + QByteArray(2100, 'q'));
    }

    void bodyObjectIsSentAsJSON()
    {
        LoopbackServer server;
        auto service = serviceFor<GmailAPIService>(server);
        auto body = std::make_shared<RestObject>();
        body->setStringArray("removeLabelIds", {"UNREAD"});
        auto result = run(*service, GmailMessagesModifyQuery::query(body, "me", "m1"));
        QTRY_COMPARE(result->calls, 1);
        const LoopbackRequest &sent = server.requests().value(0);
        QCOMPARE(sent.method, QByteArray("POST"));
        QCOMPARE(sent.target, QByteArray("/gmail/v1/users/me/messages/m1/modify?prettyPrint=false"));
        QCOMPARE(sent.body, QByteArray("{\"removeLabelIds\":[\"UNREAD\"]}"));
    }

    void answersMapToObjectsAndErrors_data()
    {
        QTest::addColumn<LoopbackResponse>("response");
        QTest::addColumn<QString>("domain"); // empty: no error
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("hasObject");
        const QByteArray notFound =
            "{\"error\":{\"code\":404,\"message\":\"File not found: x.\",\"errors\":[]}}";
        QTest::newRow("404 json error")
            << LoopbackResponse::json(404, notFound) << "rest.error" << 404 << "File not found: x." << false;
        QTest::newRow("error in array")
            << LoopbackResponse::json(400, "[{\"error\":{\"code\":400,\"message\":\"Bad\"}}]") << "rest.error"
            << 400 << "Bad" << false;
        QTest::newRow("502 html") << LoopbackResponse{502,
                                                      {{"Content-Type", "text/html"}},
                                                      "<html>Bad gateway</html>"}
                                  << "http.status" << 502 << "<html>Bad gateway</html>" << false;
        QTest::newRow("500 json without error")
            << LoopbackResponse::json(500, "{\"oops\":1}") << "http.status" << 500 << "" << false;
        QTest::newRow("403 unparseable json")
            << LoopbackResponse::json(403, "{not json") << "http.status" << 403 << "" << false;
        QTest::newRow("503 empty") << LoopbackResponse{503, {}, {}} << "http.status" << 503 << "" << false;
        QTest::newRow("malformed json")
            << LoopbackResponse::json(200, "{\"files\": [") << "json" << -1 << "" << false;
        QTest::newRow("array, not object") << LoopbackResponse::json(200, "[1,2]") << "" << 0 << "" << false;
        QTest::newRow("truncated") << LoopbackResponse{200,
                                                       {{"Content-Type", "application/json"}},
                                                       "{\"files\":[]}",
                                                       true}
                                   << "url" << -1005 << "" << false;
        QTest::newRow("no content") << LoopbackResponse{204, {}, {}} << "" << 0 << "" << false;
        QTest::newRow("plain text") << LoopbackResponse{200, {{"Content-Type", "text/plain"}}, "hi"} << ""
                                    << 0 << "" << false;
        QTest::newRow("unknown kind")
            << LoopbackResponse::json(200, "{\"kind\":\"drive#nothing\",\"files\":[{\"id\":\"1\"}]}") << ""
            << 0 << "" << true;
    }
    void answersMapToObjectsAndErrors()
    {
        QFETCH(LoopbackResponse, response);
        QFETCH(QString, domain);
        QFETCH(int, code);
        QFETCH(QString, description);
        QFETCH(bool, hasObject);
        LoopbackServer server([&](const LoopbackRequest &) { return response; });
        auto service = serviceFor<DriveAPIService>(server);
        auto result = run(*service, DriveFilesListQuery::query());
        QTRY_COMPARE(result->calls, 1);
        QVERIFY(result->onMainThread);
        if (domain.isEmpty()) {
            QVERIFY2(!result->error, qPrintable(result->error ? result->error->description() : QString()));
        } else {
            QVERIFY(result->error);
            QCOMPARE(result->error->domain(), domain);
            if (code != -1)
                QCOMPARE(result->error->code(), code);
            if (!description.isEmpty())
                QCOMPARE(result->error->description(), description);
            if (domain == "rest.error")
                QCOMPARE(structuredError(*result->error)->code(), std::optional<qint64>(code));
            if (domain == "http.status" && description.isEmpty() && !response.body.isEmpty())
                QCOMPARE(result->error->userInfoValue(StatusDataKey).toByteArray(), response.body);
        }
        QCOMPARE(bool(result->object), hasObject);
        if (hasObject) {
            auto list = std::dynamic_pointer_cast<DriveFileListResource>(result->object);
            QVERIFY(list);
            QCOMPARE(list->count(), 1);
        }
        QTest::qWait(30); // no second call meanwhile
        QCOMPARE(result->calls, 1);
    }

    void cancelledTicketNeverCallsBack()
    {
        LoopbackServer server([](const LoopbackRequest &) { return std::nullopt; });
        auto service = serviceFor<CalendarAPIService>(server);
        ServiceTicketPtr ticket;
        auto query = CalendarEventsListQuery::query("primary");
        query->setSingleEvents(true);
        query->setTimeMin(DateTime::fromDate(QDateTime(QDate(2024, 5, 1), QTime(8, 30), Qt::UTC)));
        auto result = run(*service, query, &ticket);
        QTRY_COMPARE(server.heldCount(), 1);
        QCOMPARE(server.requests().value(0).target,
                 QByteArray("/calendar/v3/calendars/primary/events?prettyPrint=false"
                            "&singleEvents=true&timeMin=2024-05-01T08%3A30%3A00Z"));
        ticket->cancelTicket();
        server.answerHeld(LoopbackResponse::json(200, "{\"kind\":\"calendar#events\"}"));
        QTest::qWait(150); // the answer to the cancelled ticket calls nothing meanwhile
        QCOMPARE(result->calls, 0);
        QVERIFY(ticket->isCancelled());
        QVERIFY(ticket->fetchError()->is("url", -999));
    }

    void servicesTakeTheirRootsFromTheProvider()
    {
        CalendarAPIService calendar;
        GmailAPIService gmail;
        DriveAPIService drive;
        QCOMPARE(calendar.rootURLString, QStringLiteral("https://www.googleapis.com/"));
        QCOMPARE(gmail.rootURLString, QStringLiteral("https://gmail.googleapis.com/"));
        QCOMPARE(drive.resumableUploadPath, std::optional<QString>("resumable/upload/"));
        QVERIFY(!drive.fetcherService->allowLocalhostRequest);
        QCOMPARE(gmail.prettyPrintQueryParameterNames, QStringList{"prettyPrint"});
    }
};

QTEST_GUILESS_MAIN(QueryTest)
#include "tst_query.moc"
