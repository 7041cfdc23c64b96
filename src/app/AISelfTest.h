// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/AIService.h"

#include <QString>
#include <QStringList>

#include <functional>

// The start-up diagnostics. "--config-check" prints the OAuth configuration
// line; otherwise "--ai-selftest" asks the on-device model for one summary
// of a built-in e-mail and prints what came back, one line per result, on
// standard error.
namespace AISelfTest {

// Called once by the application entry, after the account registry exists
// and before any window. Returns false at once when no diagnostic switch is
// given; otherwise runs the diagnostic and returns true, and the caller ends
// the process with status 0 (whatever the diagnostic printed).
[[nodiscard]] bool runIfRequested(const QStringList &arguments);

struct SampleEmail
{
    QString subject;
    QString sender;
    QString body;
};
// A request with a Friday deadline, a sign-off, a "--" line and a signature.
SampleEmail sampleEmail();

using LineWriter = std::function<void(const QString &line)>;
// The self-test proper: availability, then summary and action or an error.
QCoro::Task<void> run(AIService service, LineWriter writeLine);

} // namespace AISelfTest
