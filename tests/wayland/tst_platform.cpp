// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/PlatformChoice.h"

#include <QtTest>

// Which display platform the app asks Qt for, by session.
class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void choosesByTheSession()
    {
        struct Case
        {
            const char *name;
            tl::SessionDisplay session; // user's platform, session type, Wayland, X11 display
            QString chosen;
        };
        const QList<Case> cases{
            {"X11", {"", "x11", "", ":0"}, "xcb"},
            {"X11 without a session type", {"", "", "", ":0"}, "xcb"},
            {"Wayland with XWayland", {"", "wayland", "wayland-0", ":0"}, "xcb;wayland"},
            {"Wayland without XWayland", {"", "wayland", "wayland-0", ""}, "wayland"},
            // A compositor inside another session, or a session manager that does not say.
            {"Wayland display only", {"", "", "wayland-1", ":1"}, "xcb;wayland"},
            {"Wayland session, default socket", {"", "wayland", "", ""}, "wayland"},
            {"user's wayland under X11", {"wayland", "x11", "", ":0"}, "wayland"},
            {"user's wayland beside XWayland", {"wayland", "wayland", "wayland-0", ":0"}, "wayland"},
            {"user's xcb without XWayland", {"xcb", "wayland", "wayland-0", ""}, "xcb"},
            {"user's offscreen", {"offscreen", "", "", ""}, "offscreen"},
            {"no display at all", {"", "tty", "", ""}, ""},
        };
        for (const Case &c : cases)
            QVERIFY2(tl::choosePlatform(c.session) == c.chosen,
                     qPrintable(QStringLiteral("%1: %2").arg(c.name, tl::choosePlatform(c.session))));
    }
};

QTEST_GUILESS_MAIN(PlatformTest)

#include "tst_platform.moc"
