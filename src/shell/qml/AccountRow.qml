// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Accounts
import Tarnlight.Calendar
import Tarnlight.Mail
import Tarnlight.Ui

// One account in the settings list: name over e-mail, then "Active" or
// "Make Active", then "Sign Out" (at once, without asking).
Item {
    id: row
    required property var modelData
    readonly property bool isActive: GoogleAuthService.activeAccountID === modelData.id

    objectName: "accountRow:" + modelData.id
    implicitHeight: layout.implicitHeight + 12

    RowLayout {
        id: layout
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        spacing: 10

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 1
            Label {
                textFormat: Text.PlainText
                objectName: "accountName"
                Layout.fillWidth: true
                text: row.modelData.displayName
                font.weight: Font.Medium
                color: Theme.primary
                elide: Text.ElideRight
            }
            Label {
                textFormat: Text.PlainText
                objectName: "accountEmail"
                Layout.fillWidth: true
                text: row.modelData.email
                font: Theme.caption
                color: Theme.secondary
                elide: Text.ElideRight
            }
        }
        Label {
            textFormat: Text.PlainText
            objectName: "activeMarker"
            visible: row.isActive
            text: qsTr("Active")
            font: Theme.caption2
            color: Theme.secondary
        }
        LinkButton {
            objectName: "makeActiveButton"
            visible: !row.isActive
            text: qsTr("Make Active")
            onClicked: GoogleAuthService.setActive(row.modelData)
        }
        LinkButton {
            objectName: "labelsButton"
            text: qsTr("Labels…")
            onClicked: labelPicker.open()
        }
        LinkButton {
            objectName: "calendarsButton"
            text: qsTr("Calendars…")
            onClicked: calendarPicker.open()
        }
        LinkButton {
            objectName: "signOutButton"
            destructive: true
            text: qsTr("Sign Out")
            onClicked: GoogleAuthService.signOut(row.modelData)
        }
    }

    ChoicePickerPopup {
        id: labelPicker
        kind: "label"
        title: qsTr("Labels for %1").arg(row.modelData.email)
        picker: LabelPicker {
            accountID: row.modelData.id
        }
    }
    ChoicePickerPopup {
        id: calendarPicker
        kind: "calendar"
        title: qsTr("Calendars for %1").arg(row.modelData.email)
        picker: CalendarPicker {
            accountID: row.modelData.id
        }
    }

    Divider {
        anchors.bottom: parent.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 10
    }
}
