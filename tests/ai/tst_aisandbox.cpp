#include "Sandbox.h"
#include "TaskRunner.h"

#include "ai/AIService.h"

#include <QJsonArray>
#include <QtTest>

// The service against the sandbox's model endpoint, over real HTTP.
class TestAISandbox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_sandbox.isRunning());
        m_service = AIService(AIEndpoint::make(m_sandbox.url("/v1").toString()));
    }
    void init() { m_sandbox.reset(); }

    void summaryAndReplyFromTheModel()
    {
        QCOMPARE(runTask(m_service.availability()).value, AIService::Availability::available());
        const auto summary = runTask(m_service.summarize(
            "Q3 vendor contract", "Dana <dana@example.com>",
            "Please approve the contract by Friday.\n\n--\nDana, Operations"));
        QVERIFY2(summary.value, summary.error ? qPrintable(summary.error->description()) : "");
        QVERIFY(!summary.value->summary.isEmpty());
        const auto reply = runTask(m_service.replyText("Lunch", "Ann", "Are you free?"));
        QVERIFY(reply.value);
        QVERIFY(!reply.value->isEmpty());
        QCOMPARE(*reply.value, reply.value->trimmed());
    }

    void loadingOrMissingModelIsNotReady()
    {
        const auto notReady = AIService::Availability::unavailable(
            AIService::unavailableMessage(AIService::Reason::NotReady));
        m_sandbox.control("POST", "model", QJsonObject{{"loading", true}});
        QCOMPARE(runTask(m_service.availability()).value, notReady);
        m_sandbox.control("POST", "model",
                          QJsonObject{{"loading", false}, {"models", QJsonArray{"mistral"}}});
        QCOMPARE(runTask(m_service.availability()).value, notReady);
    }

    void serverFaultEndsTheSummaryWithAnError()
    {
        m_sandbox.injectFault({{"route", "POST /v1/chat/completions"}, {"status", 500},
                               {"body", "{\"error\":{\"message\":\"model crashed\"}}"},
                               {"contentType", "application/json"}});
        const auto outcome = runTask(m_service.summarize("s", "f", "b"));
        QVERIFY(outcome.error);
        QVERIFY2(outcome.error->description().contains("500"),
                 qPrintable(outcome.error->description()));
    }

private:
    Sandbox m_sandbox;
    AIService m_service{AIEndpoint::make("off")};
};

QTEST_GUILESS_MAIN(TestAISandbox)
#include "tst_aisandbox.moc"
