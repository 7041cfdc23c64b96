// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace tl {

// What the environment says about the display the app starts on.
struct SessionDisplay
{
    QString userPlatform;   // QT_QPA_PLATFORM as the user set it
    QString sessionType;    // XDG_SESSION_TYPE
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString x11Display;     // DISPLAY; in a Wayland session, XWayland's

    static SessionDisplay fromEnvironment();
};

// The Qt platform to run on. The user's own choice always wins. In a Wayland
// session XWayland is preferred, where the popover can open next to the tray
// icon as on X11, with native Wayland behind it should the xcb plugin be
// missing; without XWayland, native Wayland. Empty leaves the choice to Qt.
QString choosePlatform(const SessionDisplay &session);

} // namespace tl
