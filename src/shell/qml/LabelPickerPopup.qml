// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Mail
import Tarnlight.Ui
import Tarnlight.Shell

// The labels whose unread mail the account's Mail tab lists, one check box
// each; a change is saved at once.
Popup {
    id: popup
    required property var account

    objectName: "labelPicker"
    parent: Overlay.overlay
    anchors.centerIn: parent
    width: parent ? parent.width - 40 : 400
    height: parent ? parent.height - 40 : 240
    modal: true
    focus: true
    padding: Theme.margin
    onOpened: picker.load()

    LabelPicker {
        id: picker
        accountID: popup.account ? popup.account.id : ""
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        Label {
            textFormat: Text.PlainText
            objectName: "labelPickerTitle"
            Layout.fillWidth: true
            text: qsTr("Labels for %1").arg(popup.account ? popup.account.email : "")
            font.weight: Font.Medium
            color: Theme.primary
            elide: Text.ElideRight
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Spinner {
                objectName: "labelPickerLoading"
                anchors.centerIn: parent
                visible: picker.loading
                running: visible
            }
            Label {
                textFormat: Text.PlainText
                objectName: "labelPickerError"
                anchors.fill: parent
                visible: !picker.loading && picker.errorText !== ""
                text: picker.errorText
                font: Theme.caption
                color: Theme.red
                wrapMode: Text.Wrap
            }
            ListView {
                id: list
                objectName: "labelList"
                anchors.fill: parent
                visible: !picker.loading && picker.errorText === ""
                clip: true
                model: picker.labels
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}
                delegate: CheckBox {
                    id: choice
                    required property var modelData
                    objectName: "labelChoice:" + modelData.id
                    width: list.width
                    text: modelData.name
                    checked: modelData.chosen
                    onToggled: picker.setChosen(modelData.id, checked)
                    // Label names are the user's to choose: shown as written.
                    contentItem: Label {
                        objectName: "labelChoiceText"
                        textFormat: Text.PlainText
                        leftPadding: choice.indicator.width + choice.spacing
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                        text: choice.text
                        font: choice.font
                    }
                }
            }
        }
        Button {
            objectName: "labelPickerDone"
            Layout.alignment: Qt.AlignRight
            text: qsTr("Done")
            onClicked: popup.close()
        }
    }
}
