// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FuzzSupport.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void initialize(int *argc, char ***argv)
{
    static int appArgc = 1;
    static char *appArgv[] = {(*argv)[0], nullptr};
    Q_UNUSED(argc);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(message));
            std::abort();
        }
    });
    new QCoreApplication(appArgc, appArgv);
}

void fail(const char *promise, const QString &detail)
{
    std::fprintf(stderr, "broken promise: %s\n%s\n", promise, qPrintable(detail));
    std::abort();
}

} // namespace fuzz
