// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the popover's top-left corner goes: centred under the tray icon (or
// above it when the icon sits in the lower half of the screen), a few pixels
// away, and kept inside the screen's available area. `anchor` is the icon's
// geometry, or a 1 x 1 rectangle at the pointer when the icon's is unknown.
QPoint popoverPosition(const QRect &anchor, const QSize &size, const QRect &available);
