// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// Where a drafted reply stands: being written, saved, or why it failed.
ColumnLayout {
    id: section
    objectName: "replySection"

    property string kind        // "drafting", "done", "failed"
    property string message

    spacing: 0

    RowLayout {
        objectName: "replyDrafting"
        visible: section.kind === "drafting"
        spacing: 6
        SmallSpinner {}
        Label {
            textFormat: Text.PlainText
            text: qsTr("Drafting reply…")
            font: Theme.caption2
            color: Theme.secondary
        }
    }
    RowLayout {
        objectName: "replyDone"
        visible: section.kind === "done"
        spacing: 4
        SymbolIcon {
            symbol: "checkmark.circle"
            size: 12
            color: Theme.secondary
        }
        Label {
            textFormat: Text.PlainText
            text: qsTr("Draft saved in Gmail — opening to review")
            font: Theme.caption2
            color: Theme.secondary
        }
    }
    Label {
        textFormat: Text.PlainText
        objectName: "replyFailed"
        Layout.fillWidth: true
        visible: section.kind === "failed"
        text: section.message
        font: Theme.caption2
        color: Theme.red
        wrapMode: Text.Wrap
    }
}
