// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The ways the provider breaks, as the sandbox's fault controls produce them:
// a server error, a dropped connection, an answer slower than the deadline,
// malformed and truncated JSON, and an HTML error page in place of JSON.

#include "Sandbox.h"
#include "rest/HttpsTransport.h"

#include <QJsonObject>
#include <QList>
#include <QTest>

namespace faults {

// The deadline tests of slow answers shorten every request to, and how late
// the sandbox then answers.
constexpr int DeadlineMs = 1000;
constexpr int SlowAnswerMs = 3000;

struct Fault
{
    const char *name;
    QJsonObject answer; // the fault's fields but its route
    bool slow = false;
};

inline QList<Fault> all()
{
    const auto json = QStringLiteral("application/json; charset=UTF-8");
    return {
        {"server error 500", {{"status", 500}}},
        {"dropped connection", {{"drop", true}}},
        {"slower than the deadline", {{"delayMs", SlowAnswerMs}}, true},
        {"malformed JSON", {{"status", 200}, {"body", "{\"items\": [}"}, {"contentType", json}}},
        {"truncated JSON", {{"status", 200}, {"body", "{\"items\":[{\"id\":\"18f0"}, {"contentType", json}}},
        {"HTML error page",
         {{"status", 502},
          {"body", "<html><body><h1>502.</h1> That's an error. <img "
                   "src=\"https://example.com/x.png\"></body></html>"},
          {"contentType", "text/html; charset=UTF-8"}}},
    };
}

// Sets up one fault on a route for every request until the test ends (a
// dropped keep-alive request is retried once by the HTTP client, so a single
// fault could go unseen). Slow faults shorten every deadline meanwhile.
class Injected
{
public:
    Injected(Sandbox &sandbox, const Fault &fault, const QString &route)
        : m_sandbox(sandbox), m_slow(fault.slow)
    {
        QJsonObject injected = fault.answer;
        injected.insert(QStringLiteral("route"), route);
        injected.insert(QStringLiteral("count"), -1);
        m_sandbox.injectFault(injected);
        if (m_slow)
            rest::HttpsTransport::limitDeadlinesForTests(DeadlineMs);
    }
    ~Injected()
    {
        if (m_slow) {
            rest::HttpsTransport::limitDeadlinesForTests(0);
            // Late answers to timed-out requests still arrive: none may
            // complete anything a second time.
            QTest::qWait(SlowAnswerMs - DeadlineMs + 300); // until the late answers are in
        }
        m_sandbox.clearFaults();
    }
    Injected(const Injected &) = delete;
    Injected &operator=(const Injected &) = delete;

private:
    Sandbox &m_sandbox;
    bool m_slow;
};

} // namespace faults
