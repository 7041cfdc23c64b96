// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Asks the sandbox's model for the brief's Needs you over 25 unread mails
// and prints how many model calls it took and how long, with the model
// answering after --delay-ms. The brief is one call whatever the mail count.

#include "BenchSupport.h"
#include "Sandbox.h"
#include "ai/AIService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 delayMs = bench::integerOption(app.arguments(), QStringLiteral("delay-ms"), 200);

    Sandbox sandbox;
    if (!sandbox.isRunning())
        bench::fail(QStringLiteral("the sandbox did not start"));
    QList<ai::BriefMail> mails;
    for (int i = 0; i < ai::NeedsYou::MaxMails; ++i)
        mails.append({QStringLiteral("18f00000000001%1").arg(i, 2, 10, QLatin1Char('0')),
                      QStringLiteral("Sender %1 <s%1@example.com>").arg(i),
                      QStringLiteral("Subject %1").arg(i),
                      QStringLiteral("Hello. Could you send me the figures for item %1 by Friday?").arg(i)});
    const AIService service(AIEndpoint::make(sandbox.url(QStringLiteral("/v1")).toString()));

    sandbox.setDelay(int(delayMs));
    sandbox.clearLog();
    QElapsedTimer clock;
    clock.start();
    std::optional<ai::NeedsYouAnswer> answer;
    const bench::TaskEnd outcome = bench::runOnEventLoop(service.needsYou(mails), 120000, answer);
    const double wallMs = clock.nsecsElapsed() / 1e6;
    sandbox.setDelay(0);
    if (!outcome.finished)
        bench::fail(QStringLiteral("the brief did not finish"));
    if (outcome.error)
        bench::fail(QStringLiteral("the brief failed: ") + outcome.error->description());
    qsizetype calls = 0;
    for (const QJsonValue &entry : sandbox.requestLog())
        calls += entry.toObject().value(QStringLiteral("path")).toString() == u"/v1/chat/completions";
    std::printf("mails=%lld items=%lld model_calls=%lld delay_ms=%lld wall_ms=%s\n", qint64(mails.size()),
                qint64(answer ? answer->items.size() : 0), qint64(calls), delayMs,
                qPrintable(bench::fixed(wallMs, 1)));
    return 0;
}
