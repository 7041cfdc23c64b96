#include "ModelStub.h"
#include "TaskRunner.h"

#include "ai/AIErrors.h"
#include "ai/AIService.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QtTest>

using Availability = AIService::Availability;

namespace {

const QString NotEligible = QStringLiteral("This Mac doesn't support Apple Intelligence.");
const QString NotEnabled = QStringLiteral("Turn on Apple Intelligence in System Settings to use summaries.");
const QString NotReady = QStringLiteral("The on-device model is still downloading. Try again shortly.");
const QString Other = QStringLiteral("On-device AI is currently unavailable.");

QJsonObject modelList(const QStringList &ids)
{
    QJsonArray data;
    for (const QString &id : ids)
        data.append(QJsonObject{{"id", id}, {"object", "model"}});
    return {{"object", "list"}, {"data", data}};
}

AIService serviceAt(const ModelStub &stub)
{
    return AIService(AIEndpoint::make(stub.baseUrl()));
}

QJsonArray messagesOf(const ModelStub::Request &request)
{
    return request.json().value("messages").toArray();
}

QString messageText(const ModelStub::Request &request, int index)
{
    return messagesOf(request).at(index).toObject().value("content").toString();
}

} // namespace

class TestAIService : public QObject
{
    Q_OBJECT

private slots:
    void availabilityOfEachSituation_data();
    void availabilityOfEachSituation();
    void silentServerEndsTheProbeInTime();
    void refusedAndTurnedOffEndpointsNeverConnect();
    void availabilityEquality();
    void endpointSettings();
    void promptAssembly();
    void summaryRequestAndAnswer();
    void summaryFailuresBecomeErrors_data();
    void summaryFailuresBecomeErrors();
    void redirectIsNotFollowed();
    void oversizedAnswerIsRefused();
    void replyIsTrimmedFreeText();
};

void TestAIService::availabilityOfEachSituation_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected"); // empty: available
    const auto list = [](const QStringList &ids) {
        return QJsonDocument(modelList(ids)).toJson(QJsonDocument::Compact);
    };
    QTest::newRow("listed") << 200 << list({"phi3", "llama3.2"}) << QString();
    QTest::newRow("listed with tag") << 200 << list({"llama3.2:latest"}) << QString();
    QTest::newRow("model missing") << 200 << list({"llama3.2-vision", "mistral"}) << NotReady;
    QTest::newRow("loading") << 503 << QByteArray("{\"error\":\"loading model\"}") << NotReady;
    QTest::newRow("server error") << 500 << QByteArray("{}") << Other;
    QTest::newRow("not found") << 404 << QByteArray() << Other;
    QTest::newRow("garbage") << 200 << QByteArray("<html>hello</html>") << Other;
    QTest::newRow("data not a list") << 200 << QByteArray("{\"data\":{}}") << Other;
}

void TestAIService::availabilityOfEachSituation()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    ModelStub stub;
    stub.answer("/v1/models", {status, body});
    const auto outcome = runTask(serviceAt(stub).availability());
    QVERIFY(outcome.value);
    const Availability wanted = expected.isEmpty() ? Availability::available()
                                                   : Availability::unavailable(expected);
    QCOMPARE(outcome.value->description(), wanted.description());
    QCOMPARE(stub.requests().size(), 1);
    QCOMPARE(stub.requests().first().method, QByteArray("GET"));
}

void TestAIService::silentServerEndsTheProbeInTime()
{
    ModelStub silent;
    silent.answer("/v1/models", {200, {}, {}, true});
    QElapsedTimer clock;
    clock.start();
    auto outcome = runTask(serviceAt(silent).availability(), 10000);
    QVERIFY(outcome.value);
    QCOMPARE(*outcome.value, Availability::unavailable(NotEligible));
    QVERIFY(clock.elapsed() < AIService::ProbeDeadlineMs + 1500);

    // And with nothing listening at all.
    const QString closed = QStringLiteral("http://127.0.0.1:%1/v1").arg(closedLoopbackPort());
    outcome = runTask(AIService(AIEndpoint::make(closed)).availability());
    QVERIFY(outcome.value);
    QCOMPARE(*outcome.value, Availability::unavailable(NotEligible));
}

void TestAIService::refusedAndTurnedOffEndpointsNeverConnect()
{
    // Each answer is ready the moment the call returns: no connection was tried.
    for (const QString &url : {QStringLiteral("http://192.0.2.7:11434/v1"),
                               QStringLiteral("https://models.example.com/v1"),
                               QStringLiteral("ftp://127.0.0.1/v1"), QStringLiteral("not a url")}) {
        const AIService service{AIEndpoint::make(url)};
        QCOMPARE(service.endpoint().status, AIEndpoint::Status::Refused);
        auto probe = service.availability();
        QVERIFY2(probe.isReady(), qPrintable(url));
        QCOMPARE(runTask(std::move(probe)).value, Availability::unavailable(Other));
        auto summary = service.summarize("s", "f", "b");
        QVERIFY(summary.isReady());
        const auto failed = runTask(std::move(summary));
        QVERIFY(failed.error);
        QCOMPARE(failed.error->description(), Other);
    }
    const AIService off{AIEndpoint::make(QStringLiteral("off"))};
    QCOMPARE(runTask(off.availability()).value, Availability::unavailable(NotEnabled));
    QCOMPARE(runTask(off.replyText("s", "f", "b")).error->code(), int(ai::ErrorUnavailable));
}

void TestAIService::availabilityEquality()
{
    QCOMPARE(Availability::unavailable("a"), Availability::unavailable("a"));
    QVERIFY(Availability::unavailable("a") != Availability::unavailable("b"));
    QVERIFY(Availability::unavailable("") != Availability::available());
    QCOMPARE(Availability::available(), Availability::available());
    QCOMPARE(Availability::unavailable(NotEligible).description(),
             QStringLiteral("unavailable(\"This Mac doesn't support Apple Intelligence.\")"));
    QCOMPARE(Availability::available().description(), QStringLiteral("available"));
}

void TestAIService::endpointSettings()
{
    const AIEndpoint defaults = AIEndpoint::make({}, {});
    QCOMPARE(defaults.status, AIEndpoint::Status::Usable);
    QCOMPARE(defaults.resolved("models").toString(), QStringLiteral("http://127.0.0.1:11434/v1/models"));
    QCOMPARE(defaults.model, QStringLiteral("llama3.2"));
    QCOMPARE(AIEndpoint::make(" OFF ").status, AIEndpoint::Status::TurnedOff);
    const AIEndpoint v6 = AIEndpoint::make("http://[::1]:8080/api/v1/", "qwen2.5");
    QCOMPARE(v6.status, AIEndpoint::Status::Usable);
    QCOMPARE(v6.resolved("chat/completions").toString(),
             QStringLiteral("http://[::1]:8080/api/v1/chat/completions"));
    QCOMPARE(v6.model, QStringLiteral("qwen2.5"));
    QCOMPARE(AIEndpoint::make("http://localhost:1234/v1").status, AIEndpoint::Status::Usable);
    // Credentials in the address could leak to a server log; refused as well.
    QCOMPARE(AIEndpoint::make("http://user:pw@127.0.0.1:1/v1").status, AIEndpoint::Status::Refused);
}

void TestAIService::promptAssembly()
{
    QCOMPARE(AIService::summaryPrompt("Lunch", "Ann <ann@example.com>", "Are you free?"),
             QStringLiteral("Summarize this email.\n\nFrom: Ann <ann@example.com>\nSubject: Lunch\n\n"
                            "Are you free?"));
    QCOMPARE(AIService::replyPrompt("Lunch", "Ann", ""),
             QStringLiteral("Draft a reply to this email.\n\nFrom: Ann\nSubject: Lunch\n\n"));

    const QString longBody(5000, QLatin1Char('x'));
    const QString prompt = AIService::summaryPrompt("S", "F", longBody);
    QVERIFY(prompt.endsWith(QStringLiteral("\n\n") + QString(4000, 'x') + QStringLiteral("\u2026")));
    // The body is cleaned: quoted history never reaches the model.
    QVERIFY(AIService::replyPrompt("S", "F", "Yes.\n\nOn Mon, 2 Jun 2025, Bo wrote:\n> old")
                .endsWith("\n\nYes."));
}

void TestAIService::summaryRequestAndAnswer()
{
    ModelStub stub;
    stub.answerChat(QStringLiteral("{\"summary\":\" Pay the invoice. \",\"actionItem\":\"None\"}"));
    const auto outcome = runTask(serviceAt(stub).summarize("Invoice", "Bo <bo@example.com>", "Pay it."));
    QVERIFY(outcome.value);
    QCOMPARE(outcome.value->summary, QStringLiteral(" Pay the invoice. ")); // untouched
    QVERIFY(!outcome.value->hasActionItem());

    QCOMPARE(stub.requests().size(), 1);
    const ModelStub::Request &sent = stub.requests().first();
    QCOMPARE(sent.method, QByteArray("POST"));
    QCOMPARE(sent.path, QByteArray("/v1/chat/completions"));
    const QJsonObject body = sent.json();
    QCOMPARE(body.value("model").toString(), QStringLiteral("llama3.2"));
    QCOMPARE(body.value("stream").toBool(true), false);
    for (const char *option : {"temperature", "max_tokens", "top_p", "seed"})
        QVERIFY2(!body.contains(option), option); // the model's defaults apply
    QCOMPARE(messagesOf(sent).size(), 2);
    QCOMPARE(messageText(sent, 0), AIService::SummaryInstructions);
    const QString prompt = AIService::summaryPrompt("Invoice", "Bo <bo@example.com>", "Pay it.");
    QCOMPARE(messageText(sent, 1), AIService::summaryPromptWithSchema(prompt));
    QVERIFY(messageText(sent, 1).contains(EmailSummary::ActionItemDescription));

    const QJsonObject format = body.value("response_format").toObject();
    QCOMPARE(format.value("type").toString(), QStringLiteral("json_schema"));
    const QJsonObject schema = format.value("json_schema").toObject();
    QCOMPARE(schema.value("name").toString(), QStringLiteral("EmailSummary"));
    const QJsonObject properties = schema.value("schema").toObject().value("properties").toObject();
    QCOMPARE(properties.keys().size(), 2);
    QCOMPARE(properties.value("summary").toObject(),
             (QJsonObject{{"type", "string"}, {"description", EmailSummary::SummaryDescription}}));
    QCOMPARE(properties.value("actionItem").toObject(),
             (QJsonObject{{"type", "string"}, {"description", EmailSummary::ActionItemDescription}}));
    // Properties go out in field order: summary first.
    QVERIFY(sent.body.indexOf("\"summary\":{") < sent.body.indexOf("\"actionItem\":{"));
}

void TestAIService::summaryFailuresBecomeErrors_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("mentions");
    const auto chat = [](const QString &content) {
        const QJsonObject choice{{"message", QJsonObject{{"content", content}}}};
        return QJsonDocument(QJsonObject{{"choices", QJsonArray{choice}}}).toJson();
    };
    QTest::newRow("no actionItem") << 200 << chat("{\"summary\":\"x\"}")
                                   << int(ai::ErrorMissingProperty) << "actionItem";
    QTest::newRow("summary not text") << 200 << chat("{\"summary\":3,\"actionItem\":\"x\"}")
                                      << int(ai::ErrorMissingProperty) << "summary";
    QTest::newRow("prose") << 200 << chat("Sure! Here is a summary.")
                           << int(ai::ErrorMalformedAnswer) << "";
    QTest::newRow("no choices") << 200 << QByteArray("{\"choices\":[]}") << int(ai::ErrorMalformedAnswer) << "";
    QTest::newRow("truncated") << 200 << QByteArray("{\"choices\":[{\"mess") << int(ai::ErrorMalformedAnswer) << "";
    QTest::newRow("server error") << 500 << QByteArray("{\"error\":{\"message\":\"out of memory\"}}")
                                  << int(ai::ErrorHttpStatus) << "out of memory";
    QTest::newRow("loading") << 503 << QByteArray() << int(ai::ErrorHttpStatus) << "503";
}

void TestAIService::summaryFailuresBecomeErrors()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, mentions);
    ModelStub stub;
    stub.answer("/v1/chat/completions", {status, body});
    const auto outcome = runTask(serviceAt(stub).summarize("s", "f", "b"));
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->domain(), ai::ErrorDomain);
    QCOMPARE(outcome.error->code(), code);
    QVERIFY2(outcome.error->description().contains(mentions), qPrintable(outcome.error->description()));
}

void TestAIService::redirectIsNotFollowed()
{
    ModelStub elsewhere;
    elsewhere.answerChat("{\"summary\":\"s\",\"actionItem\":\"a\"}");
    ModelStub stub;
    const QByteArray target = elsewhere.baseUrl().toUtf8() + "/chat/completions";
    stub.answer("/v1/chat/completions", {307, {}, "Location: " + target + "\r\n"});
    const auto outcome = runTask(serviceAt(stub).summarize("s", "f", "secret body"));
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->code(), int(ai::ErrorHttpStatus));
    QVERIFY(elsewhere.requests().isEmpty());
}

void TestAIService::oversizedAnswerIsRefused()
{
    ModelStub stub;
    stub.answerChat(QString(5 * 1024 * 1024, QLatin1Char('a')));
    const auto outcome = runTask(serviceAt(stub).replyText("s", "f", "b"));
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->code(), int(ai::ErrorAnswerTooLarge));
}

void TestAIService::replyIsTrimmedFreeText()
{
    ModelStub stub;
    stub.answerChat(QStringLiteral("\n\nThanks, will do.\n"));
    const auto outcome = runTask(serviceAt(stub).replyText("Lunch", "Ann", "Are you free?"));
    QCOMPARE(outcome.value, QStringLiteral("Thanks, will do."));
    const ModelStub::Request &sent = stub.requests().first();
    QVERIFY(!sent.json().contains("response_format"));
    QCOMPARE(messageText(sent, 0), AIService::ReplyInstructions);
    QCOMPARE(messageText(sent, 1), AIService::replyPrompt("Lunch", "Ann", "Are you free?"));

    stub.answerChat(QStringLiteral(" \t\n"));
    QCOMPARE(runTask(serviceAt(stub).replyText("s", "f", "b")).value, QString());
}

QTEST_GUILESS_MAIN(TestAIService)
#include "tst_aiservice.moc"
