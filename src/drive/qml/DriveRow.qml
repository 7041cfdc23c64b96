// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// One file or folder. A folder row takes files dragged from the file
// manager and lights up while they hover; a file row refuses them.
Item {
    id: row
    objectName: "driveRow:" + name

    required property var item
    required property string name
    required property bool isFolder
    required property string systemImage
    required property string modifiedLabel
    // True while a drag this row would take hovers over it.
    property bool isTargeted: false

    signal tapped()
    signal filesDropped(var urls)

    implicitHeight: button.implicitHeight + divider.height

    // Only local files (file:// URLs) can be uploaded.
    function localFiles(urls) {
        const files = []
        for (let i = 0; i < urls.length; ++i) {
            if (urls[i].toString().startsWith("file://"))
                files.push(urls[i])
        }
        return files
    }

    Rectangle {
        objectName: "dropTint"
        anchors.fill: button
        visible: row.isTargeted
        color: Theme.accent
        opacity: 0.15
    }

    AbstractButton {
        id: button
        objectName: "driveRowButton"
        width: parent.width
        leftPadding: 12
        rightPadding: 12
        topPadding: 7
        bottomPadding: 7
        background: null
        onClicked: row.tapped()

        contentItem: RowLayout {
            spacing: 8
            Item {
                implicitWidth: 18
                implicitHeight: icon.height
                SymbolIcon {
                    id: icon
                    objectName: "driveIcon"
                    anchors.centerIn: parent
                    symbol: row.systemImage
                    size: 16
                    color: row.isFolder ? Theme.accent : Theme.secondary
                }
            }
            Label {
                textFormat: Text.PlainText
                objectName: "driveName"
                Layout.fillWidth: true
                text: row.name
                font: Theme.subheadline
                color: Theme.primary
                elide: Text.ElideRight
                maximumLineCount: 1
            }
            Label {
                textFormat: Text.PlainText
                objectName: "driveModified"
                text: row.modifiedLabel
                font: Theme.caption2
                color: Theme.secondary
            }
            SymbolIcon {
                visible: row.isFolder
                symbol: "chevron.right"
                size: 10
                color: Theme.tertiary
            }
        }
    }

    DropArea {
        objectName: "dropArea"
        anchors.fill: button
        keys: ["text/uri-list"]
        onEntered: (drag) => {
            row.isTargeted = row.isFolder && row.localFiles(drag.urls).length > 0
            drag.accepted = row.isTargeted
        }
        onExited: row.isTargeted = false
        onDropped: (drop) => {
            row.isTargeted = false
            const files = row.localFiles(drop.urls)
            if (!row.isFolder || files.length === 0) {
                drop.accepted = false
                return
            }
            row.filesDropped(files)
            drop.accept(Qt.CopyAction)
        }
    }

    Divider {
        id: divider
        anchors.bottom: parent.bottom
        width: parent.width
    }
}
