// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Tarnlight.Ui

// The filled, accent-coloured button of a view's main action. While `busy`
// a small spinner takes the title's place, keeping the button's size.
Button {
    id: button
    property bool busy: false

    leftPadding: 14
    rightPadding: 14
    topPadding: 6
    bottomPadding: 6

    contentItem: Item {
        implicitWidth: title.implicitWidth
        implicitHeight: title.implicitHeight
        Label {
            textFormat: Text.PlainText
            id: title
            anchors.centerIn: parent
            visible: !button.busy
            text: button.text
            font: button.font
            color: Theme.accentText
        }
        Spinner {
            objectName: button.objectName + "Spinner"
            anchors.centerIn: parent
            visible: button.busy
            running: visible
            implicitWidth: 18
            implicitHeight: 18
            padding: 0
            palette.dark: Theme.accentText
        }
    }
    background: Rectangle {
        implicitWidth: 80
        implicitHeight: 28
        radius: 6
        color: button.pressed ? Qt.darker(Theme.accent, 1.15) : Theme.accent
        opacity: button.enabled || button.busy ? 1 : 0.5
    }
}
