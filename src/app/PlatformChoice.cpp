// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/PlatformChoice.h"

#include <QtGlobal>

tl::SessionDisplay tl::SessionDisplay::fromEnvironment()
{
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("XDG_SESSION_TYPE"),
            qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("DISPLAY")};
}

QString tl::choosePlatform(const SessionDisplay &session)
{
    if (!session.userPlatform.trimmed().isEmpty())
        return session.userPlatform;
    const bool wayland = !session.waylandDisplay.isEmpty() || session.sessionType == u"wayland";
    if (wayland)
        return session.x11Display.isEmpty() ? QStringLiteral("wayland") : QStringLiteral("xcb;wayland");
    if (!session.x11Display.isEmpty())
        return QStringLiteral("xcb");
    return {};
}
