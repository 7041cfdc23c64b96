// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Days of use in minutes: Tarnlight's real shell (a child process, as the
// idle benchmark runs it) with two signed-in accounts and refresh on its
// shortest interval goes through N cycles (500) against the sandbox. Each
// cycle opens the popover, shows all three tabs until they have loaded,
// hides it, runs the unread check and switches to the other account. At
// cycles 50 and N it reports resident memory, open file descriptors and the
// timers alive in the app's objects.

#include "AppUnderBench.h"
#include "mail/UnreadMonitor.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QMap>
#include <QGuiApplication>

namespace {

constexpr int TabCount = 3;
constexpr int FirstReport = 50;

int openFileDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                   .size())
           - 1;
}

// Timers registered for the object and everything below it, visual
// children included.
// Timer owners by class, printed with the last report.
QMap<QString, int> g_owners;

int timersBelow(QObject *object, QSet<QObject *> &seen)
{
    if (!object || seen.contains(object))
        return 0;
    seen.insert(object);
    int count = int(QAbstractEventDispatcher::instance()->registeredTimers(object).size());
    if (count > 0)
        g_owners[QString::fromLatin1(object->metaObject()->className())] += count;
    for (QObject *child : object->children())
        count += timersBelow(child, seen);
    if (auto *item = qobject_cast<QQuickItem *>(object)) {
        for (QQuickItem *child : item->childItems())
            count += timersBelow(child, seen);
    }
    return count;
}

int liveTimers(bench::ChildApp &child)
{
    QSet<QObject *> seen;
    g_owners.clear();
    int count = timersBelow(QCoreApplication::instance(), seen) + timersBelow(&child.app, seen)
                + timersBelow(&child.auth, seen) + timersBelow(&child.app.engine(), seen)
                + timersBelow(&child.app.unread(), seen);
    for (QWindow *window : QGuiApplication::allWindows()) {
        count += timersBelow(window, seen);
        if (auto *quick = qobject_cast<QQuickWindow *>(window))
            count += timersBelow(quick->contentItem(), seen);
    }
    // The unread check's own timer is a member, not a child.
    return count + (child.app.unread().timerActive() ? 1 : 0);
}

void reportAt(bench::ChildApp &child, int cycle)
{
    bench::waitUntil([] { return false; }, 200); // deferred deletions run
    std::printf("cycle=%d rss_mb=%.1f fds=%d timers=%d\n", cycle, bench::statusKiB("VmRSS") / 1024.0,
                openFileDescriptors(), liveTimers(child));
    for (auto it = g_owners.cbegin(); it != g_owners.cend(); ++it)
        std::fprintf(stderr, "timer_owner=%s count=%d\n", qPrintable(it.key()), it.value());
    std::fflush(stdout);
}

// Ends with no timer left behind, unlike a wait with a timeout timer.
QCoro::Task<void> checkUnread(UnreadMonitor &unread, bool &done)
{
    co_await unread.checkNow();
    done = true;
}

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
    bool checked = false;
    const QCoro::Task<void> check = checkUnread(child.app.unread(), checked);
    if (!bench::waitUntil([&] { return checked; }, 20000))
        bench::fail(QStringLiteral("the unread check did not end"));
    const QList<Account> accounts = child.auth.accounts();
    const auto active = child.auth.activeAccount();
    child.auth.setActive(accounts.value(active && active->id == accounts.first().id ? 1 : 0));
}

int runChild(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    tl::setUpApplication();
    bench::ChildApp child(bench::childSettingsPath(qtApp.arguments()));
    child.app.start();
    if (!child.popover() || child.auth.accounts().size() != 2)
        bench::fail(QStringLiteral("the popover or the second account is missing"));
    const int cycles = int(bench::integerOption(qtApp.arguments(), QStringLiteral("cycles"), 500));
    for (int i = 1; i <= cycles; ++i) {
        cycle(child);
        if (i == FirstReport || i == cycles)
            reportAt(child, i);
    }
    std::printf("done=1\n");
    return 0;
}

// A second account, Mira, signed in beside the setup's.
Account addSecondAccount(bench::SignedInSetup &setup)
{
    const Account mira{QStringLiteral("bench-%1-mira").arg(QCoreApplication::applicationPid()),
                       QStringLiteral("mira@example.com"), QStringLiteral("Mira")};
    QSettings store(setup.settingsPath(), QSettings::IniFormat);
    QJsonArray accounts =
        QJsonDocument::fromJson(store.value(GoogleAuthService::accountsKey).toByteArray()).array();
    accounts.append(mira.toJson());
    store.setValue(GoogleAuthService::accountsKey, QJsonDocument(accounts).toJson(QJsonDocument::Compact));
    store.sync();
    if (!vmtest::saveSession(setup.sandbox(), mira, Sandbox::MiraSub))
        bench::fail(QStringLiteral("could not save the second session in the keyring"));
    return mira;
}

} // namespace

int main(int argc, char **argv)
{
    if (bench::isChild(argc, argv))
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    const qint64 cycles = bench::integerOption(app.arguments(), QStringLiteral("cycles"), 500);
    bench::SignedInSetup setup;
    const Account mira = addSecondAccount(setup);
    {
        // The shortest interval there is: its timers run all through.
        QSettings general(
            QFileInfo(setup.settingsPath()).dir().filePath(QStringLiteral("config/tarnlight/tarnlight.conf")),
            QSettings::IniFormat);
        general.setValue(AppSettings::refreshKey, 1);
    }
    QTemporaryDir cache;
    QProcess child;
    child.setProcessEnvironment(setup.environment(cache.path()));
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), setup.settingsPath(), QStringLiteral("--cycles"),
                 QString::number(cycles)});
    const int timeoutMs = int(cycles) * 20000;
    const QByteArray first = bench::readReport(child, "cycle", timeoutMs);
    const QByteArray last = cycles > FirstReport ? bench::readReport(child, "cycle", timeoutMs) : first;
    bench::readReport(child, "done", timeoutMs);
    child.waitForFinished(10000);
    vmtest::removeSession(mira);
    std::printf("cycle=%s\ncycle=%s\n", first.constData(), last.constData());

    // cycle=50 rss_mb=… fds=… timers=…: the growth from the first report to the last.
    const auto figure = [](const QByteArray &line, const QByteArray &key) {
        for (const QByteArray &word : line.split(' '))
            if (word.startsWith(key + '='))
                return word.mid(key.size() + 1).toDouble();
        return 0.0;
    };
    std::printf("cycles=%lld rss_growth_mb=%.1f fds_growth=%.0f timers_growth=%.0f\n", cycles,
                figure(last, "rss_mb") - figure(first, "rss_mb"), figure(last, "fds") - figure(first, "fds"),
                figure(last, "timers") - figure(first, "timers"));
    return 0;
}
