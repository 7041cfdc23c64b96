// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Summaries and replies from models that wrap their answers: in a fence,
// after a reasoning block or a line of prose, or outside "content". The
// sandbox's model endpoint plays each shape on request.

#include "Fixture.h"
#include "TaskRunner.h"

#include "ai/AIService.h"
#include "ai/AnswerText.h"

#include <QtTest>

class TestAnswerShapes : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;

    AIService service() const { return AIService(AIEndpoint::make(m_sandbox->url("/v1").toString())); }
    void setShape(const QString &shape)
    {
        m_sandbox->control("POST", "model", QJsonObject{{"answerShape", shape}});
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(m_sandbox); }

    void init() { m_sandbox->reset(); }

    void summaryOfEachShape_data()
    {
        QTest::addColumn<QString>("shape");
        for (const char *shape : {"fenced", "think", "prose", "null-content"})
            QTest::newRow(shape) << shape;
    }
    void summaryOfEachShape()
    {
        QFETCH(QString, shape);
        const auto plain = runTask(
            service().summarize("Lunch", "Ann <ann@example.com>", "Could you book a table for Friday?"));
        QVERIFY(plain.value);
        QVERIFY(plain.value->hasActionItem());

        setShape(shape);
        const auto shaped = runTask(
            service().summarize("Lunch", "Ann <ann@example.com>", "Could you book a table for Friday?"));
        QVERIFY2(shaped.value, shaped.error ? qPrintable(shaped.error->description()) : "");
        QCOMPARE(*shaped.value, *plain.value); // never the reasoning's draft
    }

    void replyLeavesReasoningOut()
    {
        const auto plain = runTask(service().replyText("Lunch", "Ann", "Free on Friday?"));
        setShape("think");
        const auto shaped = runTask(service().replyText("Lunch", "Ann", "Free on Friday?"));
        QVERIFY(shaped.value && plain.value);
        QCOMPARE(*shaped.value, *plain.value);
        QVERIFY(!shaped.value->contains("think") && !shaped.value->contains("summary"));
    }

    void unknownShapeIsRefused()
    {
        const auto reply = m_sandbox->send("POST", m_sandbox->url("/__sandbox/model"),
                                           {{"Content-Type", "application/json"}},
                                           "{\"answerShape\":\"yaml\"}");
        QCOMPARE(reply.status, 400);
    }

    void firstCompleteObject_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("summary"); // empty: no object
        QTest::newRow("braces in strings") << "x {\"summary\":\"a } { b\",\"n\":{\"k\":1}} y"
                                           << "a } { b";
        QTest::newRow("unclosed prose brace first") << "Note { the answer: {\"summary\":\"s\"}"
                                                    << "s";
        QTest::newRow("invalid then valid") << "{not json} {\"summary\":\"s\"} {\"summary\":\"t\"}"
                                            << "s";
        QTest::newRow("fence with language") << "```JSON\n{\"summary\":\"s\"}\n```"
                                             << "s";
        QTest::newRow("inside an array") << "[{\"summary\":\"s\"}]"
                                         << "s";
        QTest::newRow("none") << "Sure! Here it is."
                              << "";
        QTest::newRow("never closes") << QString("{\"summary\":\"s\"") << "";
    }
    void firstCompleteObject()
    {
        QFETCH(QString, text);
        QFETCH(QString, summary);
        const auto object = ai::firstJsonObject(text);
        QCOMPARE(object.has_value(), !summary.isEmpty());
        if (object)
            QCOMPARE(object->value("summary").toString(), summary);
    }

    void reasoningBlocksAreLeftOut()
    {
        QCOMPARE(ai::withoutReasoning("<think>a {x}</think>b<THINKING>c</THINKING>d"), QStringLiteral("bd"));
        QCOMPARE(ai::withoutReasoning("plan {x}\n</think>\n{\"y\":1}"), QStringLiteral("\n{\"y\":1}"));
        QCOMPARE(ai::withoutReasoning("no blocks"), QStringLiteral("no blocks"));
        QCOMPARE(ai::withoutReasoning("a<think>b<think>c</think>d"), QStringLiteral("ad"));
        QCOMPARE(ai::withoutReasoning("a<think>unclosed {x}"), QStringLiteral("a<think>unclosed {x}"));
    }

    // Megabytes of open braces or quotes end with no object (and no hang).
    void hostileTextFindsNothing()
    {
        QVERIFY(!ai::firstJsonObject(QString(4 * 1024 * 1024, u'{')));
        QVERIFY(!ai::firstJsonObject(QString("{\"") + QString(4 * 1024 * 1024, u'"')));
        QVERIFY(!ai::firstJsonObject(QString("{]").repeated(1024 * 1024)));
        const QString opened = QStringLiteral("<think>").repeated(512 * 1024);
        QCOMPARE(ai::withoutReasoning(opened), opened);
    }
};

QTEST_GUILESS_MAIN(TestAnswerShapes)
#include "tst_answershapes.moc"
