// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Window
import Tarnlight.Ui

// The frameless window under the tray icon that holds the popover. It hides
// when it loses focus or on Escape.
Window {
    id: window
    // Off where there is no tray to bring it back with.
    property bool hidesOnFocusLoss: true
    signal settingsRequested()
    signal hiddenByFocusLoss()

    title: "Tarnlight"
    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    width: 380
    height: content.implicitHeight
    color: Theme.palette.window

    onActiveChanged: {
        if (!active && visible && hidesOnFocusLoss) {
            hide()
            hiddenByFocusLoss()
        }
    }

    PopoverRootView {
        id: content
        objectName: "popoverRoot"
        anchors.fill: parent
        onSettingsRequested: window.settingsRequested()
    }

    Shortcut {
        sequence: "Escape"
        onActivated: window.hide()
    }

    // Without a frame, a hairline edge keeps it apart from what lies below.
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.color: Theme.separator
    }
}
