// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/AISelfTest.h"

#include "accounts/OAuthConfig.h"
#include "core/Error.h"

#include <QEventLoop>

#include <cstdio>

namespace AISelfTest {

namespace {

// One write per line, so lines of concurrent writers never interleave.
void writeToStandardError(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QCoro::Task<void> runThenSignal(QCoro::Task<void> work, std::function<void()> done)
{
    co_await std::move(work);
    done();
}

// Waits by running the event loop, so the network work it waits for, which
// lives on this same loop, keeps going.
void runToCompletion(QCoro::Task<void> work)
{
    QEventLoop loop;
    bool finished = false;
    [[maybe_unused]] auto signalling = runThenSignal(std::move(work), [&] {
        finished = true;
        loop.quit();
    });
    if (!finished)
        loop.exec();
}

} // namespace

SampleEmail sampleEmail()
{
    return {QStringLiteral("Q3 vendor contract \u2014 signature needed"),
            QStringLiteral("Dana Whitfield <dana.whitfield@example.com>"),
            QStringLiteral("Hi everyone,\n"
                           "Quick one: the Q3 vendor contract needs a signature by Friday, or we lose the "
                           "locked-in pricing. Marco already reviewed the legal terms and flagged "
                           "nothing. Can you approve it in DocuSign today?\n"
                           "\n"
                           "Thanks,\n"
                           "Dana\n"
                           "\n"
                           "--\n"
                           "Dana Whitfield, Operations")};
}

QCoro::Task<void> run(AIService service, LineWriter writeLine)
{
    const AIService::Availability availability = co_await service.availability();
    writeLine(QStringLiteral("[ai-selftest] availability: ") + availability.description());
    if (!availability.isAvailable())
        co_return;
    const SampleEmail sample = sampleEmail();
    try {
        const EmailSummary summary = co_await service.summarize(sample.subject, sample.sender, sample.body);
        writeLine(QStringLiteral("[ai-selftest] summary: ") + summary.summary);
        writeLine(QStringLiteral("[ai-selftest] action: ") + summary.actionItem);
    } catch (const Error &error) {
        writeLine(QStringLiteral("[ai-selftest] error: ") + error.description());
    }
}

bool runIfRequested(const QStringList &arguments)
{
    if (OAuthConfig::runConfigCheckIfRequested(arguments))
        return true;
    if (!arguments.contains(QStringLiteral("--ai-selftest")))
        return false;
    runToCompletion(run(AIService(), writeToStandardError));
    return true;
}

} // namespace AISelfTest
