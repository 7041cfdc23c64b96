// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Wake-ups of an idle Tarnlight: the real app on a desktop of our own (Xvfb,
// a private session bus with a tray watcher), refresh "Off", popover hidden.
// Counts the context switches of each of its threads over the run (60 s, or
// TARNLIGHT_BENCH_SECONDS); each switch is one wake-up.

#include "DesktopSession.h"
#include "Sandbox.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// Enough of a StatusNotifier tray that Qt shows its icon (and so keeps the
// popover hidden at start).
class Watcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    bool start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
               && bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }

public slots:
    void RegisterStatusNotifierItem(const QString &) { ++registered; }
    void RegisterStatusNotifierHost(const QString &) {}

public:
    int registered = 0;
};

// Thread name and id to voluntary + involuntary context switches.
QMap<QString, qint64> switchesOf(qint64 pid)
{
    QMap<QString, qint64> switches;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(tid + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        QString name;
        qint64 count = 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Name:"))
                name = QString::fromUtf8(line.mid(5).trimmed());
            else if (line.startsWith("voluntary_ctxt_switches:")
                     || line.startsWith("nonvoluntary_ctxt_switches:"))
                count += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
        switches.insert(name + QStringLiteral(" (") + tid + u')', count);
    }
    return switches;
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    DesktopSession desktop; // before the application object: it sets the bus and display
    QCoreApplication app(argc, argv);
    if (!desktop.ok())
        return 1;
    Sandbox sandbox;
    Watcher watcher;
    QTemporaryDir home;
    if (!sandbox.isRunning() || !watcher.start() || !home.isValid()) {
        std::fprintf(stderr, "cannot set up the desktop, the sandbox or the tray watcher\n");
        return 1;
    }
    const QString config = home.filePath(QStringLiteral("config"));
    {
        QSettings settings(config + QStringLiteral("/tarnlight/tarnlight.conf"), QSettings::NativeFormat);
        settings.setValue(QStringLiteral("tarnlight.refreshMinutes"), 0);
        settings.setValue(
            QStringLiteral("tarnlight.accounts"),
            QByteArray(
                R"([{"id":"108000000000000000001","email":"alex.rivera@example.com","displayName":"Alex Rivera"}])"));
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    env.insert(QStringLiteral("TARNLIGHT_PROVIDER"), sandbox.baseUrl().toString());
    env.insert(QStringLiteral("TARNLIGHT_AI_URL"), QStringLiteral("off"));
    QProcess tarnlight;
    tarnlight.setProcessEnvironment(env);
    tarnlight.setProcessChannelMode(QProcess::ForwardedChannels);
    tarnlight.start(QStringLiteral(TL_TARNLIGHT_EXE), {});
    if (!tarnlight.waitForStarted(10000))
        return 1;
    wait(5000); // start-up settles: tray item registered, windows created
    if (watcher.registered == 0)
        std::fprintf(stderr, "note: the tray item did not register; the popover may be shown\n");

    const int seconds = qEnvironmentVariableIntValue("TARNLIGHT_BENCH_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("TARNLIGHT_BENCH_SECONDS")
                            : 60;
    const QMap<QString, qint64> before = switchesOf(tarnlight.processId());
    wait(seconds * 1000);
    const QMap<QString, qint64> after = switchesOf(tarnlight.processId());

    std::printf("idle wake-ups of tarnlight over %d s (refresh Off, popover hidden):\n", seconds);
    qint64 total = 0;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const qint64 delta = it.value() - before.value(it.key(), 0);
        total += delta;
        std::printf("  %-32s %lld\n", qPrintable(it.key()), static_cast<long long>(delta));
    }
    std::printf("  %-32s %lld\n", "all threads", static_cast<long long>(total));
    tarnlight.terminate();
    if (!tarnlight.waitForFinished(5000))
        tarnlight.kill();
    return 0;
}

#include "main.moc"
