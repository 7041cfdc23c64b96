// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// The uploads not done yet: a spinner for each one running, the red
// symbol and the reason for each one that failed.
Item {
    id: strip
    objectName: "uploadStrip"

    property alias model: uploads.model

    implicitHeight: column.implicitHeight + 12

    ColumnLayout {
        id: column
        x: 12
        y: 6
        width: strip.width - 24
        spacing: 2

        Repeater {
            id: uploads
            delegate: RowLayout {
                id: upload
                objectName: "uploadRow:" + name
                required property string name
                required property string kind
                required property string message

                Layout.fillWidth: true
                spacing: 6
                SmallSpinner {
                    visible: upload.kind === "uploading"
                }
                SymbolIcon {
                    objectName: "uploadFailedSymbol"
                    visible: upload.kind === "failed"
                    symbol: "exclamationmark.triangle"
                    size: 12
                    color: Theme.red
                }
                Label {
                    textFormat: Text.PlainText
                    objectName: "uploadText"
                    Layout.fillWidth: true
                    text: upload.kind === "failed" ? upload.name + ": " + upload.message
                                                   : qsTr("Uploading %1…").arg(upload.name)
                    font: Theme.caption2
                    color: Theme.primary
                    elide: Text.ElideRight
                    maximumLineCount: 1
                }
            }
        }
    }
}
