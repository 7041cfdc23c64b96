// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A desktop of the test's own for the tray and instance tests: a virtual X
// server (Xvfb, on the first free display) and a private session bus. The
// offscreen platform has no tray, and a bus of our own keeps parallel tests
// from meeting on the app's bus name or the tray watcher's.

#include <QProcess>
#include <QString>
#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

class DesktopSession
{
public:
    DesktopSession()
    {
        m_display = startAndRead(m_xvfb, QStringLiteral("Xvfb"),
                                 {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                  QStringLiteral("-screen"), QStringLiteral("0"),
                                  QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                  QStringLiteral("tcp")});
        m_busAddress = startAndRead(
            m_bus, QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!ok())
            return;
        qputenv("DISPLAY", QByteArray(":") + m_display.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toUtf8());
        qputenv("QT_QPA_PLATFORM", "xcb");
        // Nothing of the developer's own desktop leaks in.
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    ~DesktopSession()
    {
        for (QProcess *process : {&m_bus, &m_xvfb}) {
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
            process->waitForFinished(1000);
        }
    }

    bool ok() const { return !m_display.isEmpty() && !m_busAddress.isEmpty(); }
    QString display() const { return QStringLiteral(":") + m_display; }

private:
    // Starts a server that prints where it listens on its first line.
    static QString startAndRead(QProcess &process, const QString &program, const QStringList &args)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Gone with the test even when it crashes before cleaning up.
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process.start(program, args);
        if (!process.waitForStarted(5000)) {
            std::fprintf(stderr, "cannot start %s (scripts/bootstrap installs it)\n", qPrintable(program));
            return {};
        }
        while (!process.canReadLine() && process.waitForReadyRead(10000)) {}
        return QString::fromUtf8(process.readLine()).trimmed();
    }

    QProcess m_xvfb;
    QProcess m_bus;
    QString m_display;
    QString m_busAddress;
};
