// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// A row of equal segments in one rounded track, one of them selected; each
// segment shows a title and its symbol. Its label is not shown.
Rectangle {
    id: picker
    property var model: []     // [{ title, systemImage }]
    property int currentIndex: 0
    signal activated(int index)

    implicitHeight: 26
    radius: 6
    color: Qt.rgba(Theme.primary.r, Theme.primary.g, Theme.primary.b, Theme.dark ? 0.12 : 0.07)

    RowLayout {
        anchors.fill: parent
        anchors.margins: 2
        spacing: 2

        Repeater {
            model: picker.model
            delegate: AbstractButton {
                id: segment
                required property var modelData
                required property int index
                objectName: "tabSegment" + modelData.title
                // Equal segments whatever their titles' lengths.
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                Layout.fillHeight: true
                checkable: false
                checked: index === picker.currentIndex
                onClicked: if (index !== picker.currentIndex) picker.activated(index)

                background: Rectangle {
                    radius: 5
                    visible: segment.checked
                    color: Theme.dark ? Qt.lighter(Theme.palette.window, 1.7) : "white"
                    border.color: Theme.separator
                }
                contentItem: Item {
                    implicitWidth: row.implicitWidth
                    implicitHeight: row.implicitHeight
                    Row {
                        id: row
                        anchors.centerIn: parent
                        spacing: 5
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            symbol: segment.modelData.systemImage
                            size: 14
                            color: segment.checked ? Theme.primary : Theme.secondary
                        }
                        Label {
                            textFormat: Text.PlainText
                            anchors.verticalCenter: parent.verticalCenter
                            text: qsTranslate("TarnTab", segment.modelData.title)
                            font: Theme.subheadline
                            color: segment.checked ? Theme.primary : Theme.secondary
                        }
                    }
                }
            }
        }
    }
}
