// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Tarnlight.Ui

// A settings tab: its symbol above its title, highlighted when chosen.
TabButton {
    id: tab
    property string symbol

    width: implicitWidth
    padding: 6
    leftPadding: 14
    rightPadding: 14
    display: AbstractButton.TextUnderIcon
    icon.name: Symbols.themeName(symbol)
    icon.source: Symbols.fallback(symbol)
    icon.cache: false // released at once, not expired by a timer later
    icon.width: 20
    icon.height: 20
    icon.color: checked ? Theme.accent : Theme.secondary
    palette.buttonText: checked ? Theme.accent : Theme.secondary
    palette.windowText: checked ? Theme.accent : Theme.secondary
    font: Theme.caption
    background: Rectangle {
        radius: 6
        color: tab.checked ? Theme.separator : "transparent"
    }
}
