// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTest>

#include <functional>

namespace tltest {

// Spins the event loop until `done` holds. A timeout fails the running test,
// naming what it waited for; the result lets a helper that returns a value
// stop early.
bool waitFor(const std::function<bool()> &done, int timeoutMs, const char *what, const char *file, int line);

// Spins the event loop until `done` holds or the time is up, failing
// nothing: for waits whose own checks follow and say what is missing.
inline void waitUntil(const std::function<bool()> &done, int timeoutMs = 5000)
{
    if (!QTest::qWaitFor(done, timeoutMs))
        qInfo("gave up waiting after %d ms", timeoutMs);
}

} // namespace tltest

// In a helper that returns something: waits, failing the test on a timeout.
#define TL_WAITED(done, timeoutMs, what) tltest::waitFor(done, timeoutMs, what, __FILE__, __LINE__)

// In a test function: waits, or fails the test and leaves it.
#define TL_WAIT(done, timeoutMs, what)                                                                       \
    do {                                                                                                     \
        if (!TL_WAITED(done, timeoutMs, what))                                                               \
            return;                                                                                          \
    } while (false)
