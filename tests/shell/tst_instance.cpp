// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DesktopSession.h"
#include "shell/app/ApplicationService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <QtTest>

// The real tarnlight, started twice on one desktop session without a tray:
// the first shows its popover at once; the second hands over to the first,
// which toggles its popover, and exits 0.
class InstanceTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // No OAuth client and no stored accounts: the popover shows sign-in.
        env.insert(QStringLiteral("TARNLIGHT_RESOURCES"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

    // Whether a window titled exactly "Tarnlight" is mapped on the display.
    bool popoverShown() const
    {
        QProcess search;
        search.setProcessEnvironment(environment());
        search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                 QStringLiteral("--name"), QStringLiteral("^Tarnlight$")});
        search.waitForFinished(5000);
        return search.exitCode() == 0 && !search.readAllStandardOutput().trimmed().isEmpty();
    }

    int runSecond() const
    {
        QProcess second;
        second.setProcessEnvironment(environment());
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(QStringLiteral(TL_TARNLIGHT_EXE), QStringList());
        if (!second.waitForFinished(20000)) {
            second.kill();
            second.waitForFinished();
            return -1;
        }
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -2;
    }

private slots:
    void secondStartTogglesTheFirstsPopover()
    {
        QProcess first;
        first.setProcessEnvironment(environment());
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(QStringLiteral(TL_TARNLIGHT_EXE), QStringList());
        QVERIFY(first.waitForStarted());
        QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
        QTRY_VERIFY_WITH_TIMEOUT(bus->isServiceRegistered(ApplicationService::ServiceName), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(popoverShown(), 10000);

        QCOMPARE(runSecond(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!popoverShown(), 10000);
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(runSecond(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(popoverShown(), 10000);

        // The first leaves when asked to quit over the bus.
        QDBusMessage quit = QDBusMessage::createMethodCall(
            ApplicationService::ServiceName, ApplicationService::ObjectPath, ApplicationService::Interface,
            QStringLiteral("ActivateAction"));
        quit << QStringLiteral("quit") << QVariantList() << QVariantMap();
        QCOMPARE(QDBusConnection::sessionBus().call(quit).type(), QDBusMessage::ReplyMessage);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QTRY_VERIFY(!bus->isServiceRegistered(ApplicationService::ServiceName));
    }
};

int main(int argc, char *argv[])
{
    DesktopSession desktop;
    if (!desktop.ok())
        return 1;
    QCoreApplication app(argc, argv);
    InstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instance.moc"
