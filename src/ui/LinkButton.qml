// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls

// A button drawn as a link: accent text, red when it destroys, underlined
// under the pointer, dimmed while pressed and greyed while disabled. Its text
// takes the button's font, the window's unless a view sets another.
AbstractButton {
    id: control
    property bool destructive: false

    hoverEnabled: true
    padding: 2
    contentItem: Label {
        textFormat: Text.PlainText
        text: control.text
        font.underline: control.hovered && control.enabled
        color: !control.enabled ? Theme.tertiary : control.destructive ? Theme.red : Theme.accent
        opacity: control.pressed ? 0.7 : 1
    }
    background: null

    HoverHandler {
        cursorShape: control.enabled ? Qt.PointingHandCursor : Qt.ArrowCursor
    }
}
