// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Tarnlight.Ui

// A borderless button with a symbol and, optionally, a title beside it.
ToolButton {
    property string symbol

    flat: true
    display: text === "" ? AbstractButton.IconOnly : AbstractButton.TextBesideIcon
    icon.name: Symbols.themeName(symbol)
    icon.source: Symbols.fallback(symbol)
    icon.cache: false // released at once, not expired by a timer later
    icon.width: 16
    icon.height: 16
    icon.color: enabled ? Theme.primary : Theme.tertiary
    palette.buttonText: Theme.primary
}
