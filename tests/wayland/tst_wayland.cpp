// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DesktopServices.h"
#include "QmlTestSupport.h"
#include "ViewModelSupport.h"
#include "Wait.h"
#include "WaylandSession.h"
#include "shell/app/AppSettings.h"
#include "shell/app/ApplicationService.h"
#include "shell/app/ShellMain.h"
#include "shell/app/TarnlightApp.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QSettings>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

bool g_wayland = false;

// Calls without blocking: the answering objects live on this same thread.
QDBusPendingCall callApp(const QString &method, const QVariantList &args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(ApplicationService::ServiceName,
                                                          ApplicationService::ObjectPath,
                                                          ApplicationService::Interface, method);
    message.setArguments(args);
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("caller"))
        .asyncCall(message, 10000);
}

// Waits until everything the app has sent the notification server so far
// has arrived: a question over the app's own connection, answered after them.
void settleNotices()
{
    for (int round = 0; round < 2; ++round) {
        const QDBusMessage ask = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("GetCapabilities"));
        QDBusPendingCallWatcher watcher(QDBusConnection::sessionBus().asyncCall(ask));
        QSignalSpy answered(&watcher, &QDBusPendingCallWatcher::finished);
        TL_WAITED([&] { return answered.count() > 0; }, 5000, "the notification server's answer");
    }
}

} // namespace

// The shell natively on Wayland, under a weston of the test's own:
// the popover, the tray item, and the one notice on a desktop without a tray.
class WaylandTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;

private slots:
    void init()
    {
        if (!g_wayland)
            QSKIP("weston or Xvfb is not installed, or did not start (scripts/bootstrap installs them)");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        m_store = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("settings.ini")),
                                              QSettings::IniFormat);
        m_store->clear();
        AppSettings::instance().useStore(m_store.get());
    }

    void cleanup() { AppSettings::instance().useStore(nullptr); }

    // First: Qt asks the bus once per process whether a StatusNotifier tray is there.
    void trayItemRegistersOnWayland()
    {
        TrayWatcher watcher;
        QVERIFY(watcher.start());
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        app.start();
        QVERIFY(app.hasTray());
        QVERIFY(!app.popover()->isVisible());
        TL_WAIT([&] { return !watcher.items().isEmpty(); }, 10000, "the tray item's registration");

        // Another window takes the keyboard: the popover goes, and the tray
        // click that took it does not bring it straight back.
        QQuickWindow *popover = app.popover();
        app.togglePopover();
        TL_WAIT([&] { return popover->isActive(); }, 5000, "the popover's keyboard focus");
        QQuickWindow elsewhere; // draws, so the compositor maps it
        elsewhere.resize(200, 200);
        elsewhere.show();
        elsewhere.requestActivate();
        TL_WAIT([&] { return !popover->isVisible(); }, 5000, "the popover hidden on focus loss");
        app.togglePopover();
        QVERIFY(!popover->isVisible());
    }

    void withoutTrayTheFirstStartShowsThePopoverEscapeHidesAndTheBusQuits()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        ApplicationService service;
        QCOMPARE(service.claim(), ApplicationService::Claim::Owned);
        app.listenOn(service);
        QSignalSpy quit(&app, &TarnlightApp::quitRequested);
        app.start();
        QVERIFY(!app.hasTray());
        QQuickWindow *popover = app.popover();
        QVERIFY(popover->isVisible());
        QVERIFY(popover->flags() & Qt::FramelessWindowHint);
        QVERIFY(QTest::qWaitForWindowExposed(popover));
        // The compositor has drawn what the scene holds: the sign-in view.
        const QImage grab = popover->grabWindow();
        QCOMPARE(grab.width(), qRound(380 * popover->devicePixelRatio()));
        QVERIFY(grab.save(qmltest::screenshotPath(QStringLiteral("wayland-popover"))));

        TL_WAIT([&] { return popover->isActive(); }, 5000, "the compositor's keyboard focus");
        QTest::keyClick(popover, Qt::Key_Escape);
        TL_WAIT([&] { return !popover->isVisible(); }, 5000, "the popover hidden");

        // The desktop file's "Show Tarnlight", then the app menu's toggle.
        callApp(QStringLiteral("ActivateAction"), {QStringLiteral("show"), QVariantList(), QVariantMap()});
        TL_WAIT([&] { return popover->isVisible(); }, 5000, "the popover back on the show action");
        callApp(QStringLiteral("Activate"), {QVariantMap()});
        TL_WAIT([&] { return !popover->isVisible(); }, 5000, "the popover toggled off on Activate");
        callApp(QStringLiteral("ActivateAction"), {QStringLiteral("quit"), QVariantList(), QVariantMap()});
        TL_WAIT([&] { return quit.count() == 1; }, 5000, "quit through D-Bus");
    }

    void withoutTrayTheNoticeComesOnceEver()
    {
        NotificationServer server;
        QVERIFY(server.start());
        {
            // Started by D-Bus activation (the app menu): the Activate that
            // follows opens the popover, so the start itself must not.
            qputenv("DBUS_STARTER_BUS_TYPE", "session");
            vmtest::Registry registry({}, std::nullopt);
            TarnlightApp app(*registry.get());
            app.start();
            qunsetenv("DBUS_STARTER_BUS_TYPE");
            QVERIFY(!app.popover()->isVisible());
            TL_WAIT([&] { return server.notices.size() == 1; }, 5000, "the no-tray notice");
            QCOMPARE(server.notices[0].summary, QStringLiteral("Tarnlight has no tray icon here."));
            QCOMPARE(server.notices[0].body,
                     QStringLiteral("Open it from the app menu, or enable a tray extension."));
            QCOMPARE(server.notices[0].hints.value(QStringLiteral("desktop-entry")).toString(),
                     ApplicationService::ServiceName);
            TL_WAIT([] { return AppSettings::instance().noTrayTold(); }, 5000, "the notice remembered");
        }
        // A later start (at login): hidden, and no second notice.
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        app.start();
        settleNotices();
        QCOMPARE(server.notices.size(), 1);
        QVERIFY(!app.popover()->isVisible());
        app.togglePopover();
        QVERIFY(app.popover()->isVisible());
    }
};

int main(int argc, char *argv[])
{
    WaylandSession session;
    g_wayland = session.ok();
    if (!g_wayland)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tl::setUpApplication();
    WaylandTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wayland.moc"
