// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls.impl

// A symbol by name: the desktop theme's icon, or our bundled one.
IconImage {
    property string symbol
    property int size: 16

    name: Symbols.themeName(symbol)
    source: Symbols.fallback(symbol)
    sourceSize.width: size
    sourceSize.height: size
    width: size
    height: size
    color: Theme.primary
    // Outside the image cache: a released icon goes at once, instead of
    // waking the app every 30 s while the cache expires it.
    cache: false
}
