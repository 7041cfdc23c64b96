// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Lists 25 inbox messages through the app's Gmail client while the sandbox
// delays every answer, then reads the sandbox's request log to see how many
// requests the listing made and over how many connections. The listing is
// strictly sequential, so its floor is requests × delay; the ratio shows
// what the client adds on top.

#include "BenchSupport.h"
#include "BearerAuthorizer.h"
#include "Sandbox.h"
#include "mail/GmailService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

#include <cstdio>

namespace {

constexpr unsigned MessageCount = 25;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 delayMs = bench::integerOption(app.arguments(), QStringLiteral("delay-ms"), 20);

    Sandbox sandbox;
    const QByteArray token = bench::useSandbox(sandbox);
    auto authorizer = std::make_shared<BearerAuthorizer>(token);

    sandbox.setDelay(int(delayMs));
    sandbox.clearLog();
    QElapsedTimer clock;
    clock.start();
    std::optional<QList<EmailMessage>> messages;
    const bench::TaskEnd outcome = bench::runOnEventLoop(
        GmailService::list(authorizer, {GmailService::InboxLabel}, MessageCount), 120000, messages);
    const double wallMs = clock.nsecsElapsed() / 1e6;
    sandbox.setDelay(0);
    if (!outcome.finished)
        bench::fail(QStringLiteral("the listing did not finish"));
    if (outcome.error)
        bench::fail(QStringLiteral("the listing failed: ") + outcome.error->description());

    const QJsonArray log = sandbox.requestLog();
    QSet<QString> connections;
    for (const QJsonValue &entry : log)
        connections.insert(entry.toObject().value("connection").toString());
    const qsizetype requests = log.size();
    const double limitMs = double(requests) * double(delayMs);
    std::printf("messages=%lld delay_ms=%lld\n", qint64(messages ? messages->size() : 0), delayMs);
    std::printf("requests=%lld connections=%lld wall_ms=%s limit_ms=%s ratio=%s\n", qint64(requests),
                qint64(connections.size()), qPrintable(bench::fixed(wallMs, 1)),
                qPrintable(bench::fixed(limitMs, 1)),
                qPrintable(limitMs > 0 ? bench::fixed(wallMs / limitMs) : QStringLiteral("n/a")));
    return 0;
}
