// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellTestSupport.h"
#include "ViewModelSupport.h"
#include "shell/app/AppSettings.h"
#include "shell/app/PopoverPlacement.h"
#include "shell/app/TarnlightApp.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using namespace shelltest;

// The running shell's windows where the desktop has no tray (as offscreen):
// the popover opens at start; the settings window opens once and is raised
// after that; the popover's place next to the tray icon.
class AppTest : public QObject
{
    Q_OBJECT

    static QQuickItem *inPopover(TarnlightApp &app, const QString &name)
    {
        return findItem(app.popover()->contentItem(), name);
    }

    static void clickIn(QQuickWindow *window, QQuickItem *item)
    {
        QVERIFY(item && item->isVisible());
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
    }

    QTemporaryDir m_dir;
    QSettings m_store{m_dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};

private slots:
    // Never told of the missing tray, so every start here is a first one.
    void initTestCase() { AppSettings::instance().useStore(&m_store); }

    void withoutTrayThePopoverOpensAtStartAndStays()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        app.start();
        QVERIFY(!app.hasTray());
        QVERIFY(app.popover());
        QTRY_VERIFY(app.popover()->isVisible());
        QCOMPARE(app.popover()->title(), QStringLiteral("Tarnlight"));
        QCOMPARE(app.popover()->width(), 380);
        QVERIFY(app.popover()->flags() & Qt::FramelessWindowHint);
        QVERIFY(!app.popover()->property("hidesOnFocusLoss").toBool());

        app.togglePopover();
        QVERIFY(!app.popover()->isVisible());
        app.togglePopover();
        QVERIFY(app.popover()->isVisible());
        QTRY_VERIFY(app.popover()->isActive());
        QTest::keyClick(app.popover(), Qt::Key_Escape);
        QTRY_VERIFY(!app.popover()->isVisible());
    }

    void settingsOpensOnceAndIsRaisedAfterwards()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        app.start();
        QTRY_VERIFY(app.popover()->isVisible());
        clickIn(app.popover(), inPopover(app, QStringLiteral("settingsButton")));
        QTRY_VERIFY(app.settingsWindow() && app.settingsWindow()->isVisible());
        QVERIFY(!app.popover()->isVisible());

        QPointer<QQuickWindow> settings = app.settingsWindow();
        QCOMPARE(settings->title(), QStringLiteral("Tarnlight Settings"));
        QCOMPARE(settings->size(), QSize(460, 280));
        QCOMPARE(settings->flags() & Qt::FramelessWindowHint, Qt::WindowFlags());
        app.runAction(QStringLiteral("settings"));
        QCOMPARE(app.settingsWindow(), settings.data());

        // Closed means gone; the next one starts afresh.
        settings->close();
        QTRY_VERIFY(settings.isNull());
        app.openSettings();
        QVERIFY(app.settingsWindow() && app.settingsWindow()->isVisible());
    }

    void quitComesFromThePopoverAndFromTheBus()
    {
        vmtest::Registry registry({}, std::nullopt);
        TarnlightApp app(*registry.get());
        QSignalSpy quit(&app, &TarnlightApp::quitRequested);
        app.start();
        QTRY_VERIFY(app.popover()->isVisible());
        app.runAction(QStringLiteral("unknown"));
        QCOMPARE(quit.count(), 0);
        app.runAction(QStringLiteral("quit"));
        QCOMPARE(quit.count(), 1);
        clickIn(app.popover(), inPopover(app, QStringLiteral("quitButton")));
        QTRY_COMPARE(quit.count(), 2);
    }

    void popoverSitsNextToTheIconInsideTheScreen_data()
    {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 28, 1920, 1052); // a top panel 28 high
        QTest::newRow("top panel, middle") << QRect(900, 2, 24, 24) << screen << QPoint(721, 30);
        QTest::newRow("top panel, right corner") << QRect(1890, 2, 24, 24) << screen << QPoint(1540, 30);
        QTest::newRow("bottom panel, left corner")
            << QRect(4, 1050, 24, 24) << QRect(0, 0, 1920, 1040) << QPoint(0, 640);
        QTest::newRow("pointer on a second screen")
            << QRect(1925, 5, 1, 1) << QRect(1920, 0, 1280, 1024) << QPoint(1920, 10);
        QTest::newRow("screen lower than the popover")
            << QRect(100, 2, 24, 24) << QRect(0, 0, 800, 300) << QPoint(0, 0);
    }

    void popoverSitsNextToTheIconInsideTheScreen()
    {
        QFETCH(QRect, anchor);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        QCOMPARE(popoverPosition(anchor, QSize(380, 400), available), expected);
    }
};

QTEST_MAIN(AppTest)
#include "tst_app.moc"
