// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts Tarnlight, signed in against the sandbox and offscreen, several
// times as a child process and reports when its popover showed its first
// frame and when the Mail tab first showed its list, counted from the moment
// the process was started. Cold runs get an empty cache folder each (as the
// first run after a build); warm runs share one a first run has filled.

#include "AppUnderBench.h"

#include <algorithm>

namespace {

struct Times
{
    double firstFrameMs = 0;
    double listMs = 0;
};

// The child: the real shell with its popover open, as where there is no tray.
int runChild(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    tl::setUpApplication();
    bench::ChildApp child(bench::childSettingsPath(qtApp.arguments()));
    child.app.start();
    // Only a first start opens it by itself; the runs after it do not.
    child.app.showPopover();
    QQuickWindow *popover = child.popover();
    if (!popover)
        bench::fail(QStringLiteral("the popover was not created"));
    bool firstSeen = false;
    QObject::connect(popover, &QQuickWindow::frameSwapped, &child.app, [&] {
        const double now = bench::monotonicMs();
        if (!firstSeen) {
            firstSeen = true;
            bench::report("first_frame", now);
        }
        if (bench::mailListShown(popover)) {
            bench::report("list", now);
            qtApp.quit();
        }
    });
    QTimer::singleShot(60000, &qtApp, [] { bench::fail(QStringLiteral("no list within 60 s")); });
    return qtApp.exec();
}

Times runOnce(bench::SignedInSetup &setup, const QString &cacheDir)
{
    QProcess child;
    child.setProcessEnvironment(setup.environment(cacheDir));
    const double startMs = bench::monotonicMs();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), setup.settingsPath()});
    Times times;
    times.firstFrameMs = bench::readReport(child, "first_frame").toDouble() - startMs;
    times.listMs = bench::readReport(child, "list").toDouble() - startMs;
    child.waitForFinished(10000);
    return times;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (bench::isChild(argc, argv))
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = int(bench::integerOption(app.arguments(), QStringLiteral("runs"), 5));
    bench::SignedInSetup setup;

    QList<double> coldFrame, coldList, warmFrame, warmList;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir cache;
        const Times cold = runOnce(setup, cache.path());
        coldFrame.append(cold.firstFrameMs);
        coldList.append(cold.listMs);
        std::printf("run=%d cold first_frame_ms=%.1f list_ms=%.1f\n", i + 1, cold.firstFrameMs, cold.listMs);
    }
    QTemporaryDir warmCache;
    runOnce(setup, warmCache.path()); // fills the cache
    for (int i = 0; i < runs; ++i) {
        const Times warm = runOnce(setup, warmCache.path());
        warmFrame.append(warm.firstFrameMs);
        warmList.append(warm.listMs);
        std::printf("run=%d warm first_frame_ms=%.1f list_ms=%.1f\n", i + 1, warm.firstFrameMs, warm.listMs);
    }
    std::printf("first_frame_ms=%.1f list_ms=%.1f cold_first_frame_ms=%.1f cold_list_ms=%.1f\n",
                median(warmFrame), median(warmList), median(coldFrame), median(coldList));
    return 0;
}
