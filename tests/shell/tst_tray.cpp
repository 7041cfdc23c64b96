// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DesktopServices.h"
#include "DesktopSession.h"
#include "ShellTestSupport.h"
#include "ViewModelSupport.h"
#include "Wait.h"
#include "shell/app/ApplicationService.h"
#include "shell/app/ShellMain.h"
#include "shell/app/TarnlightApp.h"
#include "shell/app/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest>

using namespace shelltest;

namespace {

const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString ItemPath = QStringLiteral("/StatusNotifierItem");

} // namespace

// The tray icon on a desktop with a StatusNotifier tray, and the app's
// org.freedesktop.Application object on the session bus.
class TrayTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TrayWatcher> m_watcher;

    // Calls from a connection of the test's own, without blocking: the
    // answering objects live on this same thread.
    static QDBusMessage call(const QString &service, const QString &path, const QString &interface,
                             const QString &method, const QVariantList &args = {})
    {
        QDBusConnection caller = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                               QStringLiteral("caller"));
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(args);
        QDBusPendingCall pending = caller.asyncCall(message, 10000);
        TL_WAITED([&] { return pending.isFinished(); }, 12000, "the D-Bus call's answer");
        return pending.reply();
    }

    static QVariant itemProperty(const QString &service, const QString &name)
    {
        const QDBusMessage reply = call(service, ItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {ItemInterface, name});
        if (reply.type() != QDBusMessage::ReplyMessage)
            return {};
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

    // The tooltip's title: the third member of (s a(iiay) s s).
    static QString toolTipTitle(const QVariant &toolTip)
    {
        // Read-only, so the begin...() calls read rather than write.
        const auto argument = toolTip.value<QDBusArgument>();
        QString iconName, title, subTitle;
        argument.beginStructure();
        argument >> iconName;
        argument.beginArray();
        while (!argument.atEnd()) {
            int width = 0, height = 0;
            QByteArray pixels;
            argument.beginStructure();
            argument >> width >> height >> pixels;
            argument.endStructure();
        }
        argument.endArray();
        argument >> title >> subTitle;
        argument.endStructure();
        return title;
    }

    static bool hasIcon(const QString &service)
    {
        if (!itemProperty(service, QStringLiteral("IconName")).toString().isEmpty())
            return true;
        const auto pixmaps = itemProperty(service, QStringLiteral("IconPixmap")).value<QDBusArgument>();
        pixmaps.beginArray();
        return !pixmaps.atEnd();
    }

    static QAction *menuAction(TarnlightApp &app, const QString &text)
    {
        for (QAction *action : app.tray()->menu()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        m_watcher = std::make_unique<TrayWatcher>();
        QVERIFY(m_watcher->start());
    }

    void cleanupTestCase() { m_watcher.reset(); }

    void itemRegistersAndActivateShowsThePopover()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        app.start();
        QVERIFY(app.hasTray());
        QVERIFY(!app.popover()->isVisible());

        QTRY_VERIFY_WITH_TIMEOUT(!m_watcher->items().isEmpty(), 10000);
        const QString item = m_watcher->items().constLast();
        QCOMPARE(itemProperty(item, QStringLiteral("Title")).toString(), QStringLiteral("Tarnlight"));
        QCOMPARE(toolTipTitle(itemProperty(item, QStringLiteral("ToolTip"))), QStringLiteral("Tarnlight"));
        QVERIFY(hasIcon(item));

        QCOMPARE(call(item, ItemPath, ItemInterface, QStringLiteral("Activate"), {0, 0}).type(),
                 QDBusMessage::ReplyMessage);
        QTRY_VERIFY(app.popover()->isVisible());
        const QRect screen = app.popover()->screen()->availableGeometry();
        QVERIFY(screen.contains(app.popover()->geometry()));

        call(item, ItemPath, ItemInterface, QStringLiteral("Activate"), {0, 0});
        QTRY_VERIFY(!app.popover()->isVisible());
    }

    // The demo's first show, before any click: the tray here never gives the
    // icon's place, so after waiting for it the popover takes the top-right corner.
    void firstShowWithoutTheIconsPlaceGoesTopRight()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        app.start();
        QVERIFY(app.tray());
        QCursor::setPos(5, 5);
        app.showPopoverAtStart();
        QVERIFY(!app.popover()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(app.popover()->isVisible(), 3000);
        const QRect available = app.popover()->screen()->availableGeometry();
        const QRect placed = app.popover()->geometry();
        QVERIFY2(available.contains(placed),
                 qPrintable(QStringLiteral("%1,%2").arg(placed.x()).arg(placed.y())));
        QVERIFY(placed.right() > available.right() - 40 && placed.top() < available.top() + 40);
    }

    void popoverHidesWhenAnotherWindowTakesFocus()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        app.start();
        app.showPopover();
        QTRY_VERIFY(app.popover()->isActive());
        QWindow elsewhere;
        elsewhere.resize(200, 200);
        elsewhere.show();
        QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
        elsewhere.requestActivate();
        QTRY_VERIFY(!app.popover()->isVisible());

        // The tray click that took the focus away does not reopen it; a
        // later one does.
        app.togglePopover();
        QVERIFY(!app.popover()->isVisible());
        QTest::qWait(400); // only a later click reopens it
        app.togglePopover();
        QVERIFY(app.popover()->isVisible());
    }

    void menuOpensSettingsThePopoverAndQuits()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        QSignalSpy quit(&app, &TarnlightApp::quitRequested);
        app.start();
        QStringList titles;
        for (QAction *action : app.tray()->menu()->actions())
            if (!action->isSeparator())
                titles << action->text();
        QCOMPARE(titles, (QStringList{QStringLiteral("Open Tarnlight"), QStringLiteral("Settings…"),
                                      QStringLiteral("About Tarnlight"), QStringLiteral("Quit")}));

        menuAction(app, QStringLiteral("Settings…"))->trigger();
        QTRY_VERIFY(app.settingsWindow() && app.settingsWindow()->isVisible());
        // The title bar names the app once: the X server holds no appended display name.
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"),
                      {QStringLiteral("getwindowname"), QString::number(app.settingsWindow()->winId())});
        QVERIFY(xdotool.waitForFinished());
        QCOMPARE(QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed(),
                 QStringLiteral("Tarnlight Settings"));
        menuAction(app, QStringLiteral("About Tarnlight"))->trigger();
        QTRY_VERIFY(app.aboutWindow() && app.aboutWindow()->isVisible());
        auto *name = app.aboutWindow()->findChild<QQuickItem *>(QStringLiteral("aboutName"));
        QVERIFY(name);
        QCOMPARE(name->property("text").toString(),
                 QStringLiteral("Tarnlight ") + QCoreApplication::applicationVersion());
        menuAction(app, QStringLiteral("Open Tarnlight"))->trigger();
        QTRY_VERIFY(app.popover()->isVisible());
        menuAction(app, QStringLiteral("Quit"))->trigger();
        QCOMPARE(quit.count(), 1);
    }

    // Each account heads the menu (its count joins it once read); choosing
    // one opens the popover on that account.
    void menuListsTheAccountsAndOpensOnTheChosenOne()
    {
        const Account alex = vmtest::account(QStringLiteral("alex"));
        const Account mira = vmtest::account(QStringLiteral("mira"));
        vmtest::Registry registry({alex, mira}, alex.id);
        TarnlightApp app(*registry.get());
        app.start();
        const QList<QAction *> entries = app.tray()->menu()->actions();
        QCOMPARE(entries.value(0)->text(), alex.email);
        QCOMPARE(entries.value(1)->text(), mira.email);
        QVERIFY(entries.value(2)->isSeparator());
        entries[1]->trigger();
        QCOMPARE(registry.get()->activeAccountID(), std::optional<QString>(mira.id));
        QTRY_VERIFY(app.popover()->isVisible());
    }

    void applicationObjectOnTheSessionBus()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        ApplicationService service;
        QCOMPARE(service.claim(), ApplicationService::Claim::Owned);
        app.listenOn(service);
        QSignalSpy quit(&app, &TarnlightApp::quitRequested);
        app.start();

        const auto activate = [](const QString &method, const QVariantList &args) {
            return call(ApplicationService::ServiceName, ApplicationService::ObjectPath,
                        ApplicationService::Interface, method, args);
        };
        QCOMPARE(activate(QStringLiteral("Activate"), {QVariantMap()}).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(app.popover()->isVisible());
        activate(QStringLiteral("Activate"), {QVariantMap()});
        QTRY_VERIFY(!app.popover()->isVisible());

        activate(QStringLiteral("ActivateAction"),
                 {QStringLiteral("settings"), QVariantList(), QVariantMap()});
        QTRY_VERIFY(app.settingsWindow() && app.settingsWindow()->isVisible());
        activate(QStringLiteral("ActivateAction"), {QStringLiteral("quit"), QVariantList(), QVariantMap()});
        QTRY_COMPARE(quit.count(), 1);
    }
};

int main(int argc, char *argv[])
{
    DesktopSession desktop;
    if (!desktop.ok())
        return 1;
    QApplication app(argc, argv);
    tl::setUpApplication();
    TrayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tray.moc"
