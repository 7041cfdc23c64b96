// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Small helpers the benchmark programs share: option parsing, memory figures
// of this process and number formatting for the result lines.

#include "Sandbox.h"
#include "core/Error.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include <sys/resource.h>
#include <unistd.h>

namespace bench {

[[noreturn]] inline void fail(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    std::exit(1);
}

// Points the app's provider at a running sandbox and returns an access token
// the sandbox minted for the seeded account; ends the program otherwise.
inline QByteArray useSandbox(Sandbox &sandbox)
{
    if (!sandbox.isRunning())
        fail(QStringLiteral("the sandbox did not start"));
    qputenv("TARNLIGHT_PROVIDER", sandbox.baseUrl().toString().toUtf8());
    const QByteArray token = sandbox.issueTokens(Sandbox::AlexSub).value("access_token").toString().toUtf8();
    if (token.isEmpty())
        fail(QStringLiteral("the sandbox minted no token"));
    return token;
}

// The value of "--name N" (or "--name=N") in the arguments, or the default.
// A malformed value ends the program with a usage message.
inline qint64 integerOption(const QStringList &arguments, const QString &name, qint64 fallback)
{
    const QString flag = QStringLiteral("--") + name;
    for (int i = 1; i < arguments.size(); ++i) {
        QString text;
        if (arguments[i] == flag && i + 1 < arguments.size())
            text = arguments[i + 1];
        else if (arguments[i].startsWith(flag + u'='))
            text = arguments[i].mid(flag.size() + 1);
        else
            continue;
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value < 0) {
            std::fprintf(stderr, "usage: %s [%s N]\n", qPrintable(arguments.value(0)), qPrintable(flag));
            std::exit(2);
        }
        return value;
    }
    return fallback;
}

// A "VmRSS"/"VmHWM" figure of /proc/self/status in KiB, or -1.
inline qint64 statusKiB(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Sums of /proc/self/smaps_rollup figures in KiB ("Pss", "Private_Dirty", ...), or -1.
inline qint64 rollupKiB(const QList<QByteArray> &fields)
{
    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
    if (!rollup.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    qint64 total = 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const QByteArray name = line.left(line.indexOf(':'));
        if (fields.contains(name))
            total += line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return total;
}

// CPU time (user and system) in seconds: of this process, of its reaped
// children, or of another process by its id (-1 when unreadable).
inline double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command name (which may hold spaces) start at ")".
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return (fields.value(11).toLongLong() + fields.value(12).toLongLong()) / ticks;
}

// Starts a fresh peak (VmHWM back to the current RSS). False when the
// kernel refuses; the peak then covers the whole run so far.
inline bool resetPeakRss()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// What a task ended with: its error, if any, and whether it ended at all.
struct TaskEnd
{
    std::optional<Error> error;
    bool finished = false;
};

// Runs a task on a real event loop until it ends (or the timeout passes).
// The tests' runner polls with short sleeps between rounds, which would add
// a wait to every hop of the event loop and drown what is measured here.
// A task still running at the timeout is left behind: callers give up then.
inline TaskEnd runOnEventLoop(QCoro::Task<void> task, int timeoutMs)
{
    auto end = std::make_shared<TaskEnd>();
    auto loop = std::make_shared<QEventLoop>();
    auto wrapper = [](QCoro::Task<void> inner, std::shared_ptr<TaskEnd> out,
                      std::shared_ptr<QEventLoop> quit) -> QCoro::Task<void> {
        try {
            co_await std::move(inner);
        } catch (const Error &e) {
            out->error = e;
        }
        out->finished = true;
        quit->quit();
    };
    auto running = wrapper(std::move(task), end, loop);
    if (!end->finished) {
        QTimer::singleShot(timeoutMs, loop.get(), &QEventLoop::quit);
        loop->exec();
    }
    return *end;
}

// The same for a task with a value, which lands in `value`.
template<typename T>
TaskEnd runOnEventLoop(QCoro::Task<T> task, int timeoutMs, std::optional<T> &value)
{
    auto keep = [](QCoro::Task<T> inner, std::optional<T> *out) -> QCoro::Task<void> {
        *out = co_await std::move(inner);
    };
    return runOnEventLoop(keep(std::move(task), &value), timeoutMs);
}

inline QString fixed(double value, int decimals = 2)
{
    return QString::number(value, 'f', decimals);
}

} // namespace bench
