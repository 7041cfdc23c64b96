// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts Tarnlight signed in (offscreen, as a child process), opens and
// closes its popover 50 times visiting all three tabs each time, and reports
// the child's resident memory after the start, after cycle 1 and after
// cycle 50. Then, with the popover hidden and refresh "Off", it counts
// every thread's context switches over 60 s: each one is a wake-up.

#include "AppUnderBench.h"

#include <QDir>
#include <QMap>
#include <QThread>

namespace {

constexpr int TabCount = 3;

double rssMb()
{
    return bench::statusKiB("VmRSS") / 1024.0;
}

// Resident memory, and of it the proportional share of shared pages (PSS)
// and the pages only this process wrote (private dirty: heap, stacks, the
// libraries' relocated data), which other programs cannot share.
void reportMemory(const char *when)
{
    const QByteArray suffix = QByteArray("_") + when + "_mb";
    bench::report(("rss" + suffix).constData(), rssMb());
    bench::report(("pss" + suffix).constData(), bench::rollupKiB({"Pss"}) / 1024.0);
    bench::report(("private" + suffix).constData(), bench::rollupKiB({"Private_Dirty"}) / 1024.0);
}

// One cycle: open the popover, show each tab until it has loaded, close it.
void cycle(bench::ChildApp &child)
{
    child.app.showPopover();
    QQuickItem *root = bench::findItem(child.popover()->contentItem(), QStringLiteral("popoverRoot"));
    for (int tab = 0; tab < TabCount; ++tab) {
        root->setProperty("selectedTab", tab);
        if (!bench::waitUntil([&] { return bench::tabSettled(child.popover()); }, 20000))
            bench::fail(QStringLiteral("tab %1 did not load").arg(tab));
    }
    child.app.hidePopover();
}

int runChild(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    tl::setUpApplication();
    bench::ChildApp child(bench::childSettingsPath(qtApp.arguments()));
    child.app.start();
    if (!child.popover())
        bench::fail(QStringLiteral("the popover was not created"));
    if (!bench::waitUntil([&] { return bench::mailListShown(child.popover()); }, 60000))
        bench::fail(QStringLiteral("the Mail list did not show"));
    child.app.hidePopover();
    bench::waitUntil([] { return false; }, 200);
    reportMemory("start");
    const int cycles = int(bench::integerOption(qtApp.arguments(), QStringLiteral("cycles"), 50));
    for (int i = 1; i <= cycles; ++i) {
        cycle(child);
        if (i == 1)
            reportMemory("cycle1");
    }
    bench::waitUntil([] { return false; }, 200);
    reportMemory("cycle50");
    bench::report("idle", 1);
    return qtApp.exec();
}

struct ThreadSwitches
{
    QString name;
    qint64 voluntary = 0;
    qint64 involuntary = 0;
};

// Every thread of the process by id, with its context-switch counts.
QMap<QString, ThreadSwitches> threadSwitches(qint64 pid)
{
    QMap<QString, ThreadSwitches> threads;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks + u'/' + tid + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        ThreadSwitches entry;
        for (const QByteArray &line : status.readAll().split('\n')) {
            const QByteArray value = line.mid(line.indexOf(':') + 1).trimmed();
            if (line.startsWith("Name:"))
                entry.name = QString::fromUtf8(value);
            else if (line.startsWith("voluntary_ctxt_switches:"))
                entry.voluntary = value.toLongLong();
            else if (line.startsWith("nonvoluntary_ctxt_switches:"))
                entry.involuntary = value.toLongLong();
        }
        threads.insert(tid, entry);
    }
    return threads;
}

qint64 switchesOf(const QMap<QString, ThreadSwitches> &threads)
{
    qint64 sum = 0;
    for (const ThreadSwitches &thread : threads)
        sum += thread.voluntary + thread.involuntary;
    return sum;
}

// Waits until the child has gone to sleep after its last report: no thread
// switched for half a second (writing the report and returning to its event
// loop cost a switch or two, which are not idle wake-ups).
QMap<QString, ThreadSwitches> settledSwitches(qint64 pid)
{
    auto last = threadSwitches(pid);
    for (int quiet = 0, tries = 0; quiet < 5 && tries < 100; ++tries) {
        QThread::msleep(100);
        auto now = threadSwitches(pid);
        quiet = switchesOf(now) == switchesOf(last) ? quiet + 1 : 0;
        last = now;
    }
    return last;
}

// Prints each thread's wake-ups over the window and returns their sum.
qint64 countWakeups(qint64 pid, int seconds)
{
    const auto before = settledSwitches(pid);
    QThread::sleep(seconds);
    const auto after = threadSwitches(pid);
    qint64 total = 0;
    for (auto it = after.begin(); it != after.end(); ++it) {
        const ThreadSwitches start = before.value(it.key());
        const qint64 voluntary = it->voluntary - start.voluntary;
        const qint64 involuntary = it->involuntary - start.involuntary;
        total += voluntary + involuntary;
        std::printf("thread=%s name=%s voluntary=%lld involuntary=%lld%s\n", qPrintable(it.key()),
                    qPrintable(QString(it->name).replace(u' ', u'_')), voluntary, involuntary,
                    before.contains(it.key()) ? "" : " new");
    }
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    if (bench::isChild(argc, argv))
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    const int idleSeconds = int(bench::integerOption(app.arguments(), QStringLiteral("idle-s"), 60));
    const qint64 cycles = bench::integerOption(app.arguments(), QStringLiteral("cycles"), 50);
    bench::SignedInSetup setup;
    setup.turnRefreshOff();
    QTemporaryDir cache;
    QProcess child;
    child.setProcessEnvironment(setup.environment(cache.path()));
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), setup.settingsPath(), QStringLiteral("--cycles"),
                 QString::number(cycles)});
    QByteArray figures;
    for (const char *when : {"start", "cycle1", "cycle50"}) {
        for (const char *kind : {"rss", "pss", "private"}) {
            const QByteArray key = QByteArray(kind) + '_' + when + "_mb";
            figures += key + '=' + bench::readReport(child, key, 600000) + ' ';
        }
    }
    bench::readReport(child, "idle");
    const qint64 wakeups = countWakeups(child.processId(), idleSeconds);
    child.kill();
    child.waitForFinished(5000);
    std::printf("idle_s=%d cycles=%lld\n", idleSeconds, cycles);
    std::printf("%swakeups_60s=%lld\n", figures.constData(), wakeups);
    return 0;
}
