// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Completion.h"

Error missingResultError()
{
    return Error::make(QStringLiteral("app.tarnlight"), -1,
                       QStringLiteral("The operation ended without a result."));
}

QCoro::Task<void> awaitCompletion(std::function<void(VoidCompletion)> start)
{
    // A void result is carried as a bool; the guard's fallback never applies
    // because a plain "no error" call is success.
    auto startWithFlag = [start = std::move(start)](Completion<bool> done) {
        start([done](std::optional<Error> error) {
            done(error ? std::nullopt : std::optional<bool>(true), error);
        });
    };
    co_await support::detail::CompletionAwaitable<bool>(std::move(startWithFlag), missingResultError());
}
