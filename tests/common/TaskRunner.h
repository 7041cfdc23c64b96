// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Wait.h"
#include "core/Error.h"

#include <QTest>

#include <qcoro/qcorotask.h>

#include <optional>

// Drives a task on the event loop until it ends (or the timeout passes) and
// keeps what it produced: a value, or the Error it threw.
template<typename T>
struct TaskOutcome
{
    std::optional<T> value;
    std::optional<Error> error;
    bool finished = false;
};

template<typename T>
TaskOutcome<T> runTask(QCoro::Task<T> task, int timeoutMs = 15000)
{
    auto outcome = std::make_shared<TaskOutcome<T>>();
    auto wrapper = [](QCoro::Task<T> inner, std::shared_ptr<TaskOutcome<T>> out) -> QCoro::Task<void> {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(inner);
            } else {
                out->value = co_await std::move(inner);
            }
        } catch (const Error &e) {
            out->error = e;
        }
        out->finished = true;
    };
    auto running = wrapper(std::move(task), outcome);
    TL_WAITED([&] { return outcome->finished; }, timeoutMs, "the task to end");
    return *outcome;
}

// For tasks without a value: only the error and whether it ended.
template<>
struct TaskOutcome<void>
{
    std::optional<Error> error;
    bool finished = false;
};
