// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Lists the 25 newest inbox messages through the Gmail client with a detail
// cache, as the Mail tab lists its label, while the sandbox delays every answer: once on an empty detail cache, again
// with nothing new, and again after one new mail arrived. The sandbox's
// request log says how many requests each listing made and over how many
// connections the whole ran.

#include "BenchSupport.h"
#include "BearerAuthorizer.h"
#include "Sandbox.h"
#include "mail/GmailService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cstdio>

namespace {

constexpr unsigned MessageCount = 25;

struct Listing
{
    qsizetype messages = 0;
    qsizetype requests = 0; // HTTP requests; a batch counts once
    qsizetype calls = 0;    // API calls, each call in a batch counted
    double wallMs = 0;
};

Listing listOnce(Sandbox &sandbox, const std::shared_ptr<rest::Authorizer> &authorizer,
                 const std::shared_ptr<MessageDetails> &details, QSet<QString> &connections)
{
    sandbox.clearLog();
    QElapsedTimer clock;
    clock.start();
    std::optional<QList<EmailMessage>> messages;
    const bench::TaskEnd outcome = bench::runOnEventLoop(
        GmailService::list(authorizer, {GmailService::InboxLabel}, MessageCount, details), 120000, messages);
    const double wallMs = clock.nsecsElapsed() / 1e6;
    if (!outcome.finished)
        bench::fail(QStringLiteral("the listing did not finish"));
    if (outcome.error)
        bench::fail(QStringLiteral("the listing failed: ") + outcome.error->description());
    QStringList ids;
    for (const EmailMessage &message : messages.value_or(QList<EmailMessage>()))
        ids.append(message.id);
    details->noteListed(MessageDetails::Lister::MailTab, ids);
    const QJsonArray log = sandbox.requestLog();
    qsizetype requests = 0;
    for (const QJsonValue &entry : log) {
        connections.insert(entry.toObject().value("connection").toString());
        const bool inner = entry.toObject().contains(QStringLiteral("batch"));
        requests += inner ? 0 : 1;
    }
    const qsizetype calls =
        log.size() - std::count_if(log.begin(), log.end(), [](const QJsonValue &entry) {
            return entry.toObject().value(QStringLiteral("path")).toString().startsWith(u"/batch/");
        });
    return {messages ? messages->size() : 0, requests, calls, wallMs};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 delayMs = bench::integerOption(app.arguments(), QStringLiteral("delay-ms"), 20);

    Sandbox sandbox;
    const QByteArray token = bench::useSandbox(sandbox);
    auto authorizer = std::make_shared<BearerAuthorizer>(token);
    auto details = std::make_shared<MessageDetails>();

    sandbox.setDelay(int(delayMs));
    QSet<QString> connections;
    const Listing first = listOnce(sandbox, authorizer, details, connections);
    const Listing unchanged = listOnce(sandbox, authorizer, details, connections);
    sandbox.control(
        "POST", QStringLiteral("mail"),
        QJsonObject{{"sub", Sandbox::AlexSub}, {"from", "Bench <bench@example.com>"}, {"subject", "New"}});
    const Listing oneNew = listOnce(sandbox, authorizer, details, connections);
    sandbox.setDelay(0);

    std::printf("messages=%lld delay_ms=%lld\n", qint64(first.messages), delayMs);
    std::printf("first_load_requests=%lld first_load_ms=%s\n", qint64(first.requests),
                qPrintable(bench::fixed(first.wallMs, 1)));
    std::printf("refresh_nochange_requests=%lld refresh_nochange_ms=%s\n", qint64(unchanged.requests),
                qPrintable(bench::fixed(unchanged.wallMs, 1)));
    std::printf("refresh_one_new_requests=%lld refresh_one_new_ms=%s\n", qint64(oneNew.requests),
                qPrintable(bench::fixed(oneNew.wallMs, 1)));
    std::printf("first_load_calls=%lld refresh_one_new_calls=%lld\n", qint64(first.calls),
                qint64(oneNew.calls));
    std::printf("connections=%lld\n", qint64(connections.size()));
    return 0;
}
