// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/PlatformChoice.h"

#include <QtTest>

// Which display platform the app asks Qt for, by session.
class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void choosesByTheSession_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("x11");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("X11") << "" << "x11" << "" << ":0" << "xcb";
        QTest::newRow("X11 without a session type") << "" << "" << "" << ":0" << "xcb";
        QTest::newRow("Wayland with XWayland") << "" << "wayland" << "wayland-0" << ":0" << "xcb;wayland";
        QTest::newRow("Wayland without XWayland") << "" << "wayland" << "wayland-0" << "" << "wayland";
        // A compositor started inside another session, or a session manager
        // that does not say.
        QTest::newRow("Wayland display only") << "" << "" << "wayland-1" << ":1" << "xcb;wayland";
        QTest::newRow("Wayland session, default socket") << "" << "wayland" << "" << "" << "wayland";
        QTest::newRow("user's wayland under X11") << "wayland" << "x11" << "" << ":0" << "wayland";
        QTest::newRow("user's wayland beside XWayland") << "wayland" << "wayland" << "wayland-0" << ":0"
                                                        << "wayland";
        QTest::newRow("user's xcb without XWayland") << "xcb" << "wayland" << "wayland-0" << "" << "xcb";
        QTest::newRow("user's offscreen") << "offscreen" << "" << "" << "" << "offscreen";
        QTest::newRow("no display at all") << "" << "tty" << "" << "" << "";
    }

    void choosesByTheSession()
    {
        QFETCH(QString, user);
        QFETCH(QString, sessionType);
        QFETCH(QString, wayland);
        QFETCH(QString, x11);
        QFETCH(QString, chosen);
        QCOMPARE(tl::choosePlatform({user, sessionType, wayland, x11}), chosen);
    }
};

QTEST_GUILESS_MAIN(PlatformTest)

#include "tst_platform.moc"
