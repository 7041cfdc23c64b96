// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Window
import Tarnlight.Ui

// The settings window: a normal window of fixed size.
Window {
    id: window

    title: qsTr("Tarnlight Settings")
    width: 460
    height: 280
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.palette.window

    SettingsView {
        objectName: "settingsView"
        anchors.fill: parent
    }
}
