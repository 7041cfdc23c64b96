// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui
import Tarnlight.Shell

// The "General" tab: how often Tarnlight checks, whether it starts at login
// and whether it announces new mail. Every change is saved and used at once.
Item {
    id: view

    function refreshTitle(minutes) {
        if (minutes === 0)
            return qsTr("Off")
        return minutes === 1 ? qsTr("1 minute") : qsTr("%1 minutes").arg(minutes)
    }

    GridLayout {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: Theme.margin
        columns: 2
        columnSpacing: 12
        rowSpacing: 10

        Label {
            textFormat: Text.PlainText
            text: qsTr("Refresh every")
            Layout.alignment: Qt.AlignRight
            color: Theme.primary
        }
        ComboBox {
            id: refresh
            objectName: "refreshEvery"
            model: AppSettings.refreshChoices
            displayText: view.refreshTitle(AppSettings.refreshMinutes)
            // A list of numbers is a JS array here; qmllint does not know its methods.
            currentIndex: AppSettings.refreshChoices.indexOf(AppSettings.refreshMinutes) // qmllint disable type
            delegate: ItemDelegate {
                required property int modelData
                required property int index
                objectName: "refreshChoice:" + modelData
                width: refresh.width
                text: view.refreshTitle(modelData)
                highlighted: refresh.highlightedIndex === index
            }
            onActivated: index => AppSettings.refreshMinutes = AppSettings.refreshChoices[index]
        }
        Label {
            textFormat: Text.PlainText
            text: qsTr("Launch at login")
            // Level with the switch, above the line that may follow it.
            Layout.alignment: Qt.AlignRight | Qt.AlignTop
            Layout.topMargin: (launchAtLogin.height - height) / 2
            color: Theme.primary
        }
        ColumnLayout {
            spacing: 2
            Layout.fillWidth: true

            Switch {
                id: launchAtLogin
                objectName: "launchAtLogin"
                checked: AppSettings.launchAtLogin
                // A refused entry cannot be turned on; one left from before can be turned off.
                enabled: checked || AppSettings.launchAtLoginRefusal === ""
                onToggled: AppSettings.launchAtLogin = checked
            }
            // Why this copy of Tarnlight may not start at login; it names a path.
            Label {
                objectName: "launchAtLoginRefusal"
                visible: text !== ""
                text: AppSettings.launchAtLoginRefusal
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                color: Theme.secondary
                font: Theme.caption
                Layout.fillWidth: true
            }
        }
        Label {
            textFormat: Text.PlainText
            text: qsTr("Notify about new mail")
            Layout.alignment: Qt.AlignRight
            color: Theme.primary
        }
        Switch {
            objectName: "notifyNewMail"
            checked: AppSettings.notifyNewMail
            onToggled: AppSettings.notifyNewMail = checked
        }
        Label {
            textFormat: Text.PlainText
            text: qsTr("Remind me about meetings")
            Layout.alignment: Qt.AlignRight
            color: Theme.primary
        }
        Switch {
            objectName: "remindMeetings"
            checked: AppSettings.remindMeetings
            onToggled: AppSettings.remindMeetings = checked
        }
    }

    Label {
        objectName: "generalVersion"
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: Theme.margin
        text: qsTr("Tarnlight %1 · free software under the GPL, version 3 or later").arg(Qt.application.version)
        textFormat: Text.PlainText
        font: Theme.caption
        color: Theme.secondary
    }
}
