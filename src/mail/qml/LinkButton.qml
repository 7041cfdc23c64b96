// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Tarnlight.Ui

// A button drawn as a link: accent text, underlined under the pointer.
AbstractButton {
    id: control
    font: Theme.caption
    hoverEnabled: true
    padding: 0

    contentItem: Text {
        textFormat: Text.PlainText
        text: control.text
        font.family: control.font.family
        font.pointSize: control.font.pointSize
        font.underline: control.hovered && control.enabled
        color: control.enabled ? Theme.accent : Theme.tertiary
    }
    background: null

    HoverHandler {
        cursorShape: control.enabled ? Qt.PointingHandCursor : Qt.ArrowCursor
    }
}
