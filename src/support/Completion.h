// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Error.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <qcoro/qcorotask.h>

#include <coroutine>
#include <functional>
#include <optional>

// The one bridge from a library completion callback to an awaitable task.
//
// Library layers (oauth, rest) report through a callback that runs exactly
// once. `awaitCompletion` hands such a callback to `start` and suspends until
// it runs; the task then returns the value or throws the library's Error. When
// the library reports neither (or drops the callback without calling it), the
// task throws `fallback`. A second call of the callback is ignored, and the
// task always resumes later on the main event loop, never inside `start`.
//
// GCC 12 destroys a capturing lambda twice when the lambda is a temporary of
// a co_await expression. Create the task in its own statement and await it
// in the next: `auto task = awaitCompletion<T>([x](...) {...});
// co_return co_await std::move(task);`

template<typename T>
using Completion = std::function<void(std::optional<T> value, std::optional<Error> error)>;
using VoidCompletion = std::function<void(std::optional<Error> error)>;

namespace support::detail {

template<typename T>
struct CompletionState
{
    std::optional<T> value;
    std::optional<Error> error;
    std::coroutine_handle<> handle;
    bool fired = false;
};

// Lives as long as any copy of the callback; resumes the waiting task once.
template<typename T>
class CompletionGuard
{
public:
    CompletionGuard(std::shared_ptr<CompletionState<T>> state, Error fallback)
        : m_state(std::move(state)), m_fallback(std::move(fallback))
    {}
    ~CompletionGuard()
    {
        if (!m_state->fired)
            fire(std::nullopt, m_fallback);
    }
    CompletionGuard(const CompletionGuard &) = delete;
    CompletionGuard &operator=(const CompletionGuard &) = delete;

    void fire(std::optional<T> value, std::optional<Error> error)
    {
        if (m_state->fired)
            return;
        m_state->fired = true;
        m_state->value = std::move(value);
        m_state->error = std::move(error);
        auto state = m_state;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [state] { state->handle.resume(); }, Qt::QueuedConnection);
    }

private:
    std::shared_ptr<CompletionState<T>> m_state;
    Error m_fallback;
};

template<typename T>
class CompletionAwaitable
{
public:
    using Start = std::function<void(Completion<T>)>;
    CompletionAwaitable(Start start, Error fallback)
        : m_start(std::move(start)), m_fallback(std::move(fallback))
    {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle)
    {
        m_state->handle = handle;
        auto guard = std::make_shared<CompletionGuard<T>>(m_state, m_fallback);
        auto start = std::move(m_start);
        start([guard](std::optional<T> value, std::optional<Error> error) {
            guard->fire(std::move(value), std::move(error));
        });
    }
    T await_resume()
    {
        if (m_state->error)
            throw *m_state->error;
        if (!m_state->value)
            throw m_fallback;
        return std::move(*m_state->value);
    }

private:
    Start m_start;
    Error m_fallback;
    std::shared_ptr<CompletionState<T>> m_state = std::make_shared<CompletionState<T>>();
};

} // namespace support::detail

// The error used when a library reports neither a value nor an error.
Error missingResultError();

template<typename T>
QCoro::Task<T> awaitCompletion(std::function<void(Completion<T>)> start,
                               Error fallback = missingResultError())
{
    co_return co_await support::detail::CompletionAwaitable<T>(std::move(start), std::move(fallback));
}

// For callbacks that carry only an error: a missing error is success.
QCoro::Task<void> awaitCompletion(std::function<void(VoidCompletion)> start);
