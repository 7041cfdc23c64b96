// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ModelStub.h"
#include "TaskRunner.h"

#include "ai/AIErrors.h"
#include "ai/AIService.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QtTest>

using Availability = AIService::Availability;
using Reason = AIService::Reason;

namespace {

Availability unavailable(Reason reason)
{
    return Availability::unavailable(AIService::unavailableMessage(reason));
}

QByteArray modelList(const QStringList &ids)
{
    QJsonArray data;
    for (const QString &id : ids)
        data.append(QJsonObject{{"id", id}});
    return QJsonDocument(QJsonObject{{"data", data}}).toJson();
}

AIService serviceAt(const QString &url)
{
    return AIService(AIEndpoint::make(url));
}

QString messageText(const ModelStub::Request &request, int index)
{
    return request.json()["messages"].toArray().at(index)["content"].toString();
}

} // namespace

class TestAIService : public QObject
{
    Q_OBJECT

private slots:
    void availabilityOfEachSituation_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Availability>("expected");
        QTest::newRow("listed") << 200 << modelList({"phi3", "llama3.2"}) << Availability::available();
        QTest::newRow("tagged") << 200 << modelList({"llama3.2:latest"}) << Availability::available();
        QTest::newRow("missing") << 200 << modelList({"llama3.2-vision"})
                                 << Availability::unavailable(
                                        "The model llama3.2 is not installed. Run: ollama pull llama3.2");
        QTest::newRow("loading") << 503 << QByteArray() << unavailable(Reason::NotReady);
        // The server's own words, as plain text, or its status when it gives none.
        QTest::newRow("500 with a message")
            << 500 << QByteArray(R"({"error":{"message":"out of <b>memory</b>"}})")
            << Availability::unavailable("The local model server says: out of <b>memory</b>");
        QTest::newRow("500 without") << 500 << QByteArray("{}")
                                     << Availability::unavailable(
                                            "The local model server answered with status 500.");
        QTest::newRow("garbage") << 200 << QByteArray("<html>") << unavailable(Reason::Other);
    }
    void availabilityOfEachSituation()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(Availability, expected);
        ModelStub stub;
        stub.answer("/v1/models", {status, body});
        QCOMPARE(runTask(serviceAt(stub.baseUrl()).availability()).value->description(),
                 expected.description());
    }

    void noAnswerMeansNoModelOnThisMachine()
    {
        const QString closed = QStringLiteral("http://127.0.0.1:%1/v1").arg(closedLoopbackPort());
        QCOMPARE(runTask(serviceAt(closed).availability()).value, unavailable(Reason::DeviceNotEligible));
        // A server that accepts but does not answer in time is busy loading its model.
        ModelStub silent;
        silent.answer("/v1/models", {200, {}, {}, true});
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runTask(serviceAt(silent.baseUrl()).availability()).value, unavailable(Reason::NotReady));
        QVERIFY(clock.elapsed() < AIService::ProbeDeadlineMs + 1500);
    }

    void offAndNonLoopbackEndpointsNeverConnect()
    {
        // Each answer is ready as the call returns: no connection was tried.
        for (const char *url : {"http://192.0.2.7:11434/v1", "https://models.example.com/v1",
                                "http://user:pw@127.0.0.1:1/v1", "not a url"}) {
            auto probe = serviceAt(url).availability();
            QVERIFY2(probe.isReady(), url);
            QCOMPARE(runTask(std::move(probe)).value, unavailable(Reason::Other));
            auto summary = serviceAt(url).summarize("s", "f", "b");
            QVERIFY(summary.isReady());
            QCOMPARE(runTask(std::move(summary)).error->code(), int(ai::ErrorUnavailable));
        }
        QCOMPARE(runTask(serviceAt(" OFF ").availability()).value, unavailable(Reason::NotEnabled));
    }

    void availabilityEqualsOnlyWithEqualMessages()
    {
        QCOMPARE(Availability::unavailable("a"), Availability::unavailable("a"));
        QVERIFY(Availability::unavailable("a") != Availability::unavailable("b"));
        QVERIFY(Availability::unavailable("") != Availability::available());
    }

    void promptAssembly()
    {
        QCOMPARE(AIService::summaryPrompt("Lunch", "Ann <a@example.com>", "Are you free?"),
                 "Summarize this email.\n\nFrom: Ann <a@example.com>\nSubject: Lunch\n\nAre you free?");
        QCOMPARE(AIService::replyPrompt("Lunch", "Ann", ""),
                 "Draft a reply to this email.\n\nFrom: Ann\nSubject: Lunch\n\n");
        QVERIFY(AIService::summaryPrompt("S", "F", QString(5000, 'x'))
                    .endsWith("\n\n" + QString(4000, 'x') + u'\u2026'));
    }

    void summaryRequestAndAnswer()
    {
        ModelStub stub;
        stub.answerChat("{\"summary\":\" Pay it. \",\"actionItem\":\"None\"}");
        const auto outcome = runTask(serviceAt(stub.baseUrl()).summarize("Bill", "Bo", "Pay."));
        QCOMPARE(outcome.value, (EmailSummary{" Pay it. ", "None"})); // as generated
        const ModelStub::Request &sent = stub.requests().first();
        QCOMPARE(sent.path, QByteArray("/v1/chat/completions"));
        const QJsonObject body = sent.json();
        QCOMPARE(body["model"].toString(), QStringLiteral("llama3.2"));
        QVERIFY(!body.contains("temperature") && !body.contains("max_tokens"));
        QCOMPARE(messageText(sent, 0), AIService::SummaryInstructions);
        QCOMPARE(messageText(sent, 1),
                 AIService::summaryPromptWithSchema(AIService::summaryPrompt("Bill", "Bo", "Pay.")));
        const QJsonObject schema = body["response_format"]["json_schema"].toObject();
        QCOMPARE(schema["name"].toString(), QStringLiteral("EmailSummary"));
        QCOMPARE(
            schema["schema"]["properties"].toObject(),
            (QJsonObject{{"summary",
                          QJsonObject{{"type", "string"}, {"description", EmailSummary::SummaryDescription}}},
                         {"actionItem", QJsonObject{{"type", "string"},
                                                    {"description", EmailSummary::ActionItemDescription}}}}));
        QVERIFY(sent.body.indexOf("\"summary\":{") < sent.body.indexOf("\"actionItem\":{"));
    }

    void modelFailuresBecomeErrors_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("no actionItem")
            << 200 << QByteArray("{\"summary\":\"x\"}") << int(ai::ErrorMissingProperty);
        QTest::newRow("prose") << 200 << QByteArray("Sure! Here it is.") << int(ai::ErrorMalformedAnswer);
        QTest::newRow("not a completion") << 200 << QByteArray() << int(ai::ErrorMalformedAnswer);
        QTest::newRow("server error") << 500 << QByteArray() << int(ai::ErrorHttpStatus);
    }
    void modelFailuresBecomeErrors()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        ModelStub stub;
        if (status == 200 && !content.isEmpty())
            stub.answerChat(QString::fromUtf8(content));
        else
            stub.answer("/v1/chat/completions", {status, "{\"error\":{\"message\":\"out of memory\"}}"});
        const auto outcome = runTask(serviceAt(stub.baseUrl()).summarize("s", "f", "b"));
        QCOMPARE(outcome.error->code(), code);
        if (code == ai::ErrorHttpStatus)
            QVERIFY(outcome.error->description().contains("out of memory"));
    }

    void redirectIsNotFollowedAndHugeAnswerRefused()
    {
        ModelStub elsewhere;
        ModelStub stub;
        stub.answer("/v1/chat/completions",
                    {307, {}, "Location: " + elsewhere.baseUrl().toUtf8() + "/chat/completions\r\n"});
        QCOMPARE(runTask(serviceAt(stub.baseUrl()).replyText("s", "f", "b")).error->code(),
                 int(ai::ErrorHttpStatus));
        QVERIFY(elsewhere.requests().isEmpty());

        stub.answerChat(QString(5 * 1024 * 1024, 'a'));
        QCOMPARE(runTask(serviceAt(stub.baseUrl()).replyText("s", "f", "b")).error->code(),
                 int(ai::ErrorAnswerTooLarge));
    }

    void replyIsTrimmedFreeText()
    {
        ModelStub stub;
        stub.answerChat("\n\nThanks, will do.\n");
        QCOMPARE(runTask(serviceAt(stub.baseUrl()).replyText("Lunch", "Ann", "Free?")).value,
                 QStringLiteral("Thanks, will do."));
        const ModelStub::Request &sent = stub.requests().first();
        QVERIFY(!sent.json().contains("response_format"));
        QCOMPARE(messageText(sent, 0), AIService::ReplyInstructions);
        QCOMPARE(messageText(sent, 1), AIService::replyPrompt("Lunch", "Ann", "Free?"));
    }
};

QTEST_GUILESS_MAIN(TestAIService)
#include "tst_aiservice.moc"
