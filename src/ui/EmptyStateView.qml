// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The centred symbol, title and message that tabs show when empty or failed.
Item {
    id: root
    property string systemImage
    property string title
    property string message

    Layout.fillWidth: true
    Layout.fillHeight: true

    ColumnLayout {
        anchors.centerIn: parent
        width: parent.width - 2 * Theme.margin
        spacing: 8

        SymbolIcon {
            objectName: "emptyStateSymbol"
            Layout.alignment: Qt.AlignHCenter
            symbol: root.systemImage
            size: 32
            color: Theme.secondary
        }
        Label {
            textFormat: Text.PlainText
            objectName: "emptyStateTitle"
            Layout.alignment: Qt.AlignHCenter
            text: root.title
            font: Theme.headline
            color: Theme.primary
        }
        Label {
            textFormat: Text.PlainText
            objectName: "emptyStateMessage"
            Layout.fillWidth: true
            text: root.message
            font: Theme.subheadline
            color: Theme.secondary
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
        }
    }
}
