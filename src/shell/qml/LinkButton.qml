// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Tarnlight.Ui

// A button drawn as a link: accent-coloured text, red when it destroys.
AbstractButton {
    id: link
    property bool destructive: false

    hoverEnabled: true
    padding: 2
    contentItem: Label {
        textFormat: Text.PlainText
        text: link.text
        font.underline: link.hovered
        color: link.destructive ? Theme.red : Theme.accent
        opacity: link.enabled ? (link.pressed ? 0.7 : 1) : 0.4
    }
    background: null
}
