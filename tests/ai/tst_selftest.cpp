#include "ModelStub.h"
#include "Sandbox.h"

#include "ai/AISelfTest.h"

#include <QJsonArray>
#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QStringList lines;
};

// Runs the start-up hook in a child process, the way the application does.
Run runHost(const QStringList &arguments, const QString &aiUrl)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNLIGHT_AI_URL", aiUrl);
    environment.insert("TARNLIGHT_RESOURCES", QDir::tempPath() + "/tarnlight-no-resources");
    process.setProcessEnvironment(environment);
    process.start(TL_AI_SELFTEST_HOST, arguments);
    // The sandbox lives on this test's event loop only while we wait here.
    if (!process.waitForFinished(30000))
        process.kill();
    Run run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    const QString output = QString::fromUtf8(process.readAllStandardError());
    run.lines = output.split('\n');
    if (run.lines.last().isEmpty())
        run.lines.removeLast();
    return run;
}

} // namespace

class TestSelfTest : public QObject
{
    Q_OBJECT

private slots:
    void noServerPrintsOnlyAvailability()
    {
        const Run run = runHost({"--ai-selftest"},
                                QStringLiteral("http://127.0.0.1:%1/v1").arg(closedLoopbackPort()));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, QStringList{QStringLiteral(
            "[ai-selftest] availability: unavailable(\"This Mac doesn't support Apple Intelligence.\")")});
    }

    void sandboxModelGivesThreeLinesInOrder()
    {
        Sandbox sandbox;
        QVERIFY(sandbox.isRunning());
        const Run run = runHost({"--ai-selftest"}, sandbox.url("/v1").toString());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.size(), 3);
        QCOMPARE(run.lines[0], QStringLiteral("[ai-selftest] availability: available"));
        QVERIFY(run.lines[1].startsWith("[ai-selftest] summary: "));
        QVERIFY(run.lines[2].startsWith("[ai-selftest] action: "));
    }

    void generationFailureGivesAnErrorLine()
    {
        ModelStub stub;
        stub.answerJson("/v1/models", {{"data", QJsonArray{QJsonObject{{"id", "llama3.2"}}}}});
        stub.answer("/v1/chat/completions", {500, "{\"error\":{\"message\":\"boom\"}}"});
        // The stub answers on this process's event loop, so the host runs
        // while the loop keeps turning.
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TARNLIGHT_AI_URL", stub.baseUrl());
        process.setProcessEnvironment(environment);
        process.start(TL_AI_SELFTEST_HOST, {"--ai-selftest"});
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 30000);
        QCOMPARE(process.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(process.readAllStandardError()).split('\n');
        QCOMPARE(lines.size(), 3); // two lines and the final line feed
        QCOMPARE(lines[0], QStringLiteral("[ai-selftest] availability: available"));
        QVERIFY2(lines[1].startsWith("[ai-selftest] error: ") && lines[1].contains("boom"),
                 qPrintable(lines[1]));
        // The sample's signature line stops the cleaner: it never reaches the model.
        const QString prompt = stub.requests().last().json().value("messages").toArray()
                                   .at(1).toObject().value("content").toString();
        QVERIFY(prompt.contains("by Friday"));
        QVERIFY(!prompt.contains("Operations"));
    }

    void configCheckWinsOverSelfTest()
    {
        const Run run = runHost({"--ai-selftest", "--config-check"}, "http://127.0.0.1:1/v1");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.size(), 1);
        QVERIFY2(run.lines[0].startsWith("[config-check] configured="), qPrintable(run.lines[0]));
    }

    void withoutSwitchesTheHookReturnsAtOnce()
    {
        QVERIFY(!AISelfTest::runIfRequested({"tarnlight", "--ai-selftest=1", "-ai-selftest"}));
        const Run run = runHost({}, "http://127.0.0.1:1/v1");
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.lines.isEmpty());
    }

    void sampleEmailShape()
    {
        const AISelfTest::SampleEmail sample = AISelfTest::sampleEmail();
        QVERIFY(qAbs(sample.body.size() - 250) <= 25);
        QVERIFY(sample.body.split('\n').contains("--"));
        QCOMPARE(sample.subject, QStringLiteral("Q3 vendor contract \u2014 signature needed"));
        QVERIFY(sample.sender.contains(QRegularExpression("^[^<]+ <[^>]+@[^>]+>$")));
    }
};

QTEST_GUILESS_MAIN(TestSelfTest)
#include "tst_selftest.moc"
