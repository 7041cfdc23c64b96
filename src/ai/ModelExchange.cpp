// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/ModelExchange.h"

#include "ai/AIErrors.h"
#include "support/Completion.h"

#include <QTimer>

namespace ai {

namespace {

struct ExchangeState
{
    ModelReply reply;
    bool timedOut = false;
    bool tooLarge = false;
};

// Cancelling from inside a delegate callback would tear the delegate down
// while it runs; the cancel is therefore queued.
void cancelLater(const QPointer<rest::HttpTask> &task)
{
    QTimer::singleShot(0, task, [task] {
        if (task)
            task->cancel();
    });
}

std::optional<Error> outcomeError(const ExchangeState &state, const std::optional<Error> &error)
{
    if (state.tooLarge)
        return answerTooLargeError();
    if (state.timedOut)
        return rest::transportError(rest::TransportTimedOut, QStringLiteral("The request timed out."));
    return error;
}

void startExchange(const rest::HttpRequest &request, ExchangeLimits limits, Completion<ModelReply> done)
{
    auto state = std::make_shared<ExchangeState>();
    auto task = std::make_shared<QPointer<rest::HttpTask>>();
    rest::HttpTaskDelegate delegate;
    delegate.onResponse = [state](const rest::HttpResponse &r) { state->reply.status = r.statusCode; };
    delegate.onData = [state, task, limits](const QByteArray &data) {
        if (state->tooLarge)
            return;
        if (state->reply.body.size() + data.size() > limits.maxBodyBytes) {
            state->tooLarge = true;
            state->reply.body.clear();
            cancelLater(*task);
            return;
        }
        state->reply.body += data;
    };
    delegate.onComplete = [state, done](std::optional<Error> error) {
        if (auto failure = outcomeError(*state, error))
            done(std::nullopt, failure);
        else
            done(std::move(state->reply), std::nullopt);
    };
    *task = rest::HttpsTransport::shared().start(request, std::move(delegate));
    if (rest::HttpTask *started = *task) {
        // Owned by the task: it goes with the exchange instead of waking the
        // process once more when the limit has long passed.
        auto *deadline = new QTimer(started);
        deadline->setSingleShot(true);
        QObject::connect(deadline, &QTimer::timeout, started, [state, task] {
            state->timedOut = true;
            if (*task)
                (*task)->cancel();
        });
        deadline->start(limits.deadlineMs);
    }
}

} // namespace

QCoro::Task<ModelReply> exchange(rest::HttpRequest request, ExchangeLimits limits)
{
    request.timeoutSeconds = limits.deadlineMs / 1000.0;
    auto reply = awaitCompletion<ModelReply>(
        [request, limits](Completion<ModelReply> done) { startExchange(request, limits, std::move(done)); });
    co_return co_await std::move(reply);
}

} // namespace ai
