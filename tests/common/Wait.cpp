// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Wait.h"

#include <QByteArray>

namespace tltest {

bool waitFor(const std::function<bool()> &done, int timeoutMs, const char *what, const char *file, int line)
{
    if (QTest::qWaitFor(done, timeoutMs))
        return true;
    const QByteArray message = "timed out after " + QByteArray::number(timeoutMs) + " ms waiting for " + what;
    QTest::qFail(message.constData(), file, line);
    return false;
}

} // namespace tltest
