// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A Wayland desktop of the test's own, in a runtime folder of its own, with a
// private session bus. Weston runs on its X11 backend inside a virtual X
// server (Xvfb), drawing with pixman (no GPU needed): that backend gives its
// seat a keyboard, which the headless one lacks, so windows get the keyboard
// focus. The app sees only the Wayland socket; nothing of the developer's own
// session leaks in.

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

class WaylandSession
{
public:
    static inline const QString Socket = QStringLiteral("tarnlight-test");

    WaylandSession()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty() || !m_runtime.isValid())
            return;
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        start(m_xvfb, QStringLiteral("Xvfb"),
              {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
               QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
               QStringLiteral("tcp")});
        const QByteArray display = readLine(m_xvfb);
        if (display.isEmpty())
            return;
        QProcessEnvironment westonEnv = QProcessEnvironment::systemEnvironment();
        westonEnv.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromUtf8(display));
        m_weston.setProcessEnvironment(westonEnv);
        start(m_weston, QStringLiteral("weston"),
              {QStringLiteral("--backend=x11-backend.so"), QStringLiteral("--use-pixman"),
               QStringLiteral("--socket=") + Socket, QStringLiteral("--width=1280"),
               QStringLiteral("--height=800"), QStringLiteral("--idle-time=0")});
        start(m_bus, QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        const QByteArray address = readLine(m_bus);
        const QDeadlineTimer deadline(10000);
        const QString socket = m_runtime.filePath(Socket);
        while (!QFileInfo::exists(socket) && !deadline.hasExpired())
            QThread::msleep(20);
        if (address.isEmpty() || !QFileInfo::exists(socket))
            return;
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        qputenv("WAYLAND_DISPLAY", Socket.toUtf8());
        qputenv("QT_QPA_PLATFORM", "wayland");
        qputenv("XDG_SESSION_TYPE", "wayland");
        qunsetenv("DISPLAY");
        qunsetenv("XDG_CURRENT_DESKTOP");
        m_ok = true;
    }

    ~WaylandSession()
    {
        for (QProcess *process : {&m_bus, &m_weston, &m_xvfb}) {
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
            process->waitForFinished(1000);
        }
    }

    // False when weston is not installed or did not come up.
    bool ok() const { return m_ok; }

private:
    static void start(QProcess &process, const QString &program, const QStringList &args)
    {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.setStandardErrorFile(QProcess::nullDevice());
        // Gone with the test even when it crashes before cleaning up.
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process.start(program, args);
        process.waitForStarted(5000);
    }

    // The first line a server prints: where it listens.
    static QByteArray readLine(QProcess &process)
    {
        const QDeadlineTimer deadline(10000);
        while (!process.canReadLine() && process.waitForReadyRead(int(deadline.remainingTime()))) {}
        return process.readLine().trimmed();
    }

    QTemporaryDir m_runtime;
    QProcess m_xvfb;
    QProcess m_weston;
    QProcess m_bus;
    bool m_ok = false;
};
