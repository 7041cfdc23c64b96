// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Several calls in one multipart/mixed request, and reading the answer
// whatever a server (or a stranger in the way) sends back.

#include "LoopbackServer.h"
#include "TaskRunner.h"
#include "TestAuthorizer.h"
#include "rest/BatchFormat.h"
#include "rest/ExecuteBatch.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

#include <QTest>

using namespace rest;

namespace {

QByteArray answerPart(const QByteArray &id, const QByteArray &statusLine, const QByteArray &json)
{
    return "Content-Type: application/http\r\nContent-ID: <response-" + id + ">\r\n\r\n" + statusLine
           + "\r\nContent-Type: application/json; charset=UTF-8\r\n\r\n" + json;
}

QByteArray multipart(const QByteArray &boundary, const QList<QByteArray> &parts)
{
    QByteArray body = "preamble to ignore\r\n";
    for (const QByteArray &part : parts)
        body += "--" + boundary + " \r\n" + part + "\r\n";
    return body + "--" + boundary + "--\r\nepilogue";
}

QList<RestQueryPtr> messageQueries(const QStringList &ids)
{
    QList<RestQueryPtr> queries;
    for (const QString &id : ids) {
        auto query = GmailMessagesGetQuery::query("me", id);
        query->setFormat("metadata");
        queries.append(query);
    }
    return queries;
}

std::unique_ptr<GmailAPIService> serviceFor(const LoopbackServer &server)
{
    auto service = std::make_unique<GmailAPIService>();
    service->rootURLString = server.root();
    service->fetcherService->allowLocalhostRequest = true;
    service->authorizer = std::make_shared<TestAuthorizer>();
    return service;
}

} // namespace

class BatchTest : public QObject
{
    Q_OBJECT
private slots:
    void callsTravelTogetherAndAnswersMatchByID()
    {
        // Answers out of order, under a quoted boundary with an escape, after
        // padding; the second call failed.
        const QByteArray answer = multipart(
            "b=1 :?",
            {answerPart("item-1", "HTTP/1.1 404 Not Found",
                        "{\"error\":{\"code\":404,\"message\":\"Requested entity was not found.\"}}"),
             answerPart("item-0", "HTTP/1.1 200 OK", "{\"id\":\"m1\",\"threadId\":\"t1\"}")});
        LoopbackServer server([&](const LoopbackRequest &) {
            return LoopbackResponse{
                200, {{"Content-Type", "Multipart/Mixed; type=x; boundary=\"b=\\1 :?\""}}, answer};
        });
        auto service = serviceFor(server);
        const auto outcome = runTask(executeBatch(*service, messageQueries({"m1", "gone"})));
        QVERIFY(outcome.value);
        QCOMPARE(outcome.value->size(), 2);
        QCOMPARE(outcome.value->at(0).object->stringValue("id"), QString("m1"));
        QVERIFY(std::dynamic_pointer_cast<GmailMessageResource>(outcome.value->at(0).object));
        QVERIFY(outcome.value->at(1).error);
        QCOMPARE(outcome.value->at(1).error->code(), 404);
        QCOMPARE(outcome.value->at(1).error->description(), QString("Requested entity was not found."));

        QCOMPARE(server.requests().size(), 1);
        const LoopbackRequest &sent = server.requests().at(0);
        QCOMPARE(sent.target, QByteArray("/batch/gmail/v1"));
        QCOMPARE(sent.method, QByteArray("POST"));
        QCOMPARE(sent.header("Authorization"), QByteArray("Bearer token-1"));
        const QByteArray type = sent.header("Content-Type");
        const std::optional<QByteArray> boundary = multipartBoundary(type);
        QVERIFY2(boundary && type.startsWith("multipart/mixed;"), type);
        // The token travels once, outside; each call names its path, query and Accept.
        QVERIFY(!sent.body.contains("token-1"));
        QVERIFY(sent.body.startsWith("--" + *boundary
                                     + "\r\nContent-Type: application/http\r\n"
                                       "Content-ID: <item-0>\r\n\r\n"
                                       "GET /gmail/v1/users/me/messages/m1?format=metadata&prettyPrint=false "
                                       "HTTP/1.1\r\nAccept: application/json\r\n\r\n\r\n--"
                                     + *boundary + "\r\n"));
        QVERIFY(sent.body.endsWith("\r\n--" + *boundary + "--\r\n"));
    }

    void callsBeyondOneBatchMakeMoreBatches()
    {
        LoopbackServer server([](const LoopbackRequest &request) {
            const int calls = int(request.body.count("Content-Type: application/http"));
            QList<QByteArray> parts;
            for (int i = 0; i < calls; ++i)
                parts.append(answerPart("item-" + QByteArray::number(i), "HTTP/1.1 200 OK", "{}"));
            return LoopbackResponse{
                200, {{"Content-Type", "multipart/mixed; boundary=x"}}, multipart("x", parts)};
        });
        auto service = serviceFor(server);
        QStringList ids;
        for (int i = 0; i < 2 * MaxBatchCalls + 25; ++i)
            ids.append(QString::number(i));
        const auto outcome = runTask(executeBatch(*service, messageQueries(ids)));
        QVERIFY(outcome.value);
        QCOMPARE(outcome.value->size(), ids.size());
        QCOMPARE(server.requests().size(), 3);
        QCOMPARE(server.requests().at(0).body.count("Content-ID:"), MaxBatchCalls);
    }

    void malformedAnswersAreClearErrors_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        const QByteArray good = answerPart("item-0", "HTTP/1.1 200 OK", "{}");
        const QByteArray mixed = "multipart/mixed; boundary=z";
        QTest::newRow("JSON instead") << QByteArray("application/json") << QByteArray("{}");
        QTest::newRow("no boundary") << QByteArray("multipart/mixed") << multipart("z", {good});
        QTest::newRow("boundary too long")
            << "multipart/mixed; boundary=" + QByteArray(71, 'z') << multipart(QByteArray(71, 'z'), {good});
        QTest::newRow("other boundary") << mixed << multipart("y", {good});
        QTest::newRow("cut before the end") << mixed << multipart("z", {good}).chopped(12);
        QTest::newRow("empty") << mixed << QByteArray();
        QTest::newRow("LF line ends") << mixed << multipart("z", {good}).replace("\r\n", "\n");
        QTest::newRow("no Content-ID") << mixed
                                       << multipart("z", {"Content-Type: application/http\r\n\r\n"
                                                          "HTTP/1.1 200 OK\r\n\r\n{}"});
        QTest::newRow("no status line")
            << mixed << multipart("z", {answerPart("item-0", "HTTP/1.1 OK", "{}")});
        QTest::newRow("not HTTP") << mixed
                                  << multipart("z",
                                               {"Content-Type: text/plain\r\nContent-ID: <response-item-0>"
                                                "\r\n\r\nHTTP/1.1 200 OK\r\n\r\n{}"});
        QTest::newRow("header without colon")
            << mixed
            << multipart("z",
                         {"Content-Type: application/http\r\nContent-ID <x>\r\n\r\nHTTP/1.1 200\r\n\r\n"});
    }

    void malformedAnswersAreClearErrors()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QString failure;
        QVERIFY(!parseBatchAnswer(contentType, body, &failure));
        QVERIFY(!failure.isEmpty());

        // The same answer from a server fails the batch as a whole.
        LoopbackServer server([&](const LoopbackRequest &) {
            return LoopbackResponse{200, {{"Content-Type", contentType}}, body};
        });
        auto service = serviceFor(server);
        const auto outcome = runTask(executeBatch(*service, messageQueries({"m1"})));
        QVERIFY(outcome.finished);
        QVERIFY(outcome.error);
        QVERIFY(outcome.error->is(TransportErrorDomain, TransportBadServerResponse));
    }

    void aCallWithoutAnswerFailsAlone()
    {
        const QByteArray answer = multipart("z",
                                            {answerPart("item-0", "HTTP/1.1 200 OK", "{\"id\":\"m1\"}"),
                                             answerPart("item-7", "HTTP/1.1 200 OK", "{\"id\":\"m7\"}")});
        LoopbackServer server([&](const LoopbackRequest &) {
            return LoopbackResponse{200, {{"Content-Type", "multipart/mixed; boundary=z"}}, answer};
        });
        auto service = serviceFor(server);
        const auto outcome = runTask(executeBatch(*service, messageQueries({"m1", "m2"})));
        QVERIFY(outcome.value);
        QVERIFY(outcome.value->at(0).object);
        QVERIFY(outcome.value->at(1).error->is(TransportErrorDomain, TransportBadServerResponse));
    }
};

QTEST_GUILESS_MAIN(BatchTest)
#include "tst_batch.moc"
