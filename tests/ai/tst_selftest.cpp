// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ModelStub.h"
#include "Sandbox.h"
#include "TaskRunner.h"

#include "ai/AIService.h"

#include <QJsonArray>
#include <QProcess>
#include <QtTest>

namespace {

// Runs the start-up hook in a child process, the way the application does,
// and returns its exit code and the lines it wrote to standard error. The
// event loop keeps turning meanwhile, for servers living in this process.
std::pair<int, QStringList> runHook(const QStringList &arguments, const QString &aiUrl)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNLIGHT_AI_URL", aiUrl);
    process.setProcessEnvironment(environment);
    process.start(TL_AI_SELFTEST_HOST, arguments);
    TL_WAITED([&] { return process.state() == QProcess::NotRunning; }, 30000, "the start-up hook to exit");
    QStringList lines = QString::fromUtf8(process.readAllStandardError()).split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    const bool clean = process.state() == QProcess::NotRunning
                       && process.exitStatus() == QProcess::NormalExit;
    return {clean ? process.exitCode() : -1, lines};
}

} // namespace

class TestSelfTest : public QObject
{
    Q_OBJECT

private slots:
    void noServerPrintsOnlyAvailability()
    {
        const auto [code, lines] = runHook(
            {"--ai-selftest"}, QStringLiteral("http://127.0.0.1:%1/v1").arg(closedLoopbackPort()));
        QCOMPARE(code, 0);
        QCOMPARE(lines, QStringList{"[ai-selftest] availability: "
                                    "unavailable(\"No local model is running. Start Ollama or "
                                    "llama-server to get summaries.\")"});
    }

    void sandboxModel()
    {
        Sandbox sandbox;
        const QString url = sandbox.url("/v1").toString();
        const auto [code, lines] = runHook({"--ai-selftest"}, url);
        QCOMPARE(code, 0);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("[ai-selftest] availability: available"));
        QVERIFY(lines[1].startsWith("[ai-selftest] summary: ") && lines[1].size() > 23);
        QVERIFY(lines[2].startsWith("[ai-selftest] action: "));

        const AIService service{AIEndpoint::make(url)};
        QVERIFY(!runTask(service.replyText("Lunch", "Ann", "Are you free?")).value->isEmpty());
        sandbox.control("POST", "model", QJsonObject{{"loading", true}});
        QCOMPARE(runTask(service.availability()).value->message(),
                 AIService::unavailableMessage(AIService::Reason::NotReady));
    }

    void generationFailureGivesAnErrorLine()
    {
        ModelStub stub;
        stub.answerJson("/v1/models", {{"data", QJsonArray{QJsonObject{{"id", "llama3.2"}}}}});
        stub.answer("/v1/chat/completions", {500, "{\"error\":{\"message\":\"boom\"}}"});
        const auto [code, lines] = runHook({"--ai-selftest"}, stub.baseUrl());
        QCOMPARE(code, 0);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[1].startsWith("[ai-selftest] error: ") && lines[1].contains("boom"),
                 qPrintable(lines[1]));
        // The sample's "--" line stops the cleaner: its signature never reaches the model.
        const QString prompt = stub.requests().last().json()["messages"][1]["content"].toString();
        QVERIFY(prompt.contains("by Friday") && !prompt.contains("Operations"));
    }

    void configCheckWinsAndNoSwitchReturns()
    {
        auto [code, lines] = runHook({"--ai-selftest", "--config-check"}, "http://127.0.0.1:1/v1");
        QCOMPARE(code, 0);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith("[config-check] configured="), qPrintable(lines[0]));
        std::tie(code, lines) = runHook({"-ai-selftest"}, "http://127.0.0.1:1/v1");
        QCOMPARE(code, 3); // the hook returned; the entry would go on to its UI
        QVERIFY(lines.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSelfTest)
#include "tst_selftest.moc"
