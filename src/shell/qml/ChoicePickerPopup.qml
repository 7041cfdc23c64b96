// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Accounts
import Tarnlight.Ui
import Tarnlight.Shell

// One account's choice ("Labels…", "Calendars…"), one check box an entry,
// with the entry's colour when it has one; a change is saved at once.
// `kind` names the popup's parts ("label" gives "labelPicker", "labelChoice:ID").
Popup {
    id: popup
    required property string kind
    required property string title
    required property ChoicePicker picker

    objectName: kind + "Picker"
    parent: Overlay.overlay
    anchors.centerIn: parent
    width: parent ? parent.width - 40 : 400
    height: parent ? parent.height - 40 : 240
    modal: true
    focus: true
    padding: Theme.margin
    onOpened: popup.picker.load()

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        Label {
            textFormat: Text.PlainText
            objectName: popup.kind + "PickerTitle"
            Layout.fillWidth: true
            text: popup.title
            font.weight: Font.Medium
            color: Theme.primary
            elide: Text.ElideRight
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Spinner {
                objectName: popup.kind + "PickerLoading"
                anchors.centerIn: parent
                visible: popup.picker.loading
                running: visible
            }
            Label {
                textFormat: Text.PlainText
                objectName: popup.kind + "PickerError"
                anchors.fill: parent
                visible: !popup.picker.loading && popup.picker.errorText !== ""
                text: popup.picker.errorText
                font: Theme.caption
                color: Theme.red
                wrapMode: Text.Wrap
            }
            ListView {
                id: list
                objectName: popup.kind + "ChoiceList"
                anchors.fill: parent
                visible: !popup.picker.loading && popup.picker.errorText === ""
                clip: true
                model: popup.picker.entries
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}
                delegate: CheckBox {
                    id: choice
                    required property var modelData
                    objectName: popup.kind + "Choice:" + modelData.id
                    width: list.width
                    text: modelData.name
                    checked: modelData.chosen
                    onToggled: popup.picker.setChosen(modelData.id, checked)
                    // Names are whoever made them: shown as written.
                    contentItem: RowLayout {
                        spacing: 6
                        Item {
                            implicitWidth: choice.indicator.width + choice.spacing - 6
                        }
                        Rectangle {
                            objectName: popup.kind + "Swatch"
                            visible: choice.modelData.colour !== ""
                            implicitWidth: 12
                            implicitHeight: 12
                            radius: 3
                            color: visible ? choice.modelData.colour : "transparent"
                        }
                        Label {
                            objectName: popup.kind + "ChoiceText"
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            verticalAlignment: Text.AlignVCenter
                            elide: Text.ElideRight
                            text: choice.text
                            font: choice.font
                        }
                    }
                }
            }
        }
        Button {
            objectName: popup.kind + "PickerDone"
            Layout.alignment: Qt.AlignRight
            text: qsTr("Done")
            onClicked: popup.close()
        }
    }
}
