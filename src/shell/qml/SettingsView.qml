// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// The settings window's content: the "Accounts" and "General" tabs.
Item {
    id: view
    property alias currentTab: bar.currentIndex

    implicitWidth: 460
    implicitHeight: 280

    ColumnLayout {
        anchors.fill: parent
        anchors.topMargin: 6
        spacing: 0

        TabBar {
            id: bar
            objectName: "settingsTabs"
            Layout.alignment: Qt.AlignHCenter
            background: null

            SettingsTabButton {
                objectName: "accountsTabButton"
                text: qsTr("Accounts")
                symbol: "person.2"
            }
            SettingsTabButton {
                objectName: "generalTabButton"
                text: qsTr("General")
                symbol: "gearshape"
            }
        }
        Divider {}
        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: bar.currentIndex

            AccountSettingsView {
                objectName: "accountSettings"
            }
            GeneralSettingsView {
                objectName: "generalSettings"
            }
        }
    }
}
