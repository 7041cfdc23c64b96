// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// The summary of an expanded message: a spinner while it is made, then the
// summary with its action item, or why there is none.
ColumnLayout {
    id: section
    objectName: "summarySection"

    property string kind        // "loading", "ready", "failed", "unavailable"
    property string text
    property string actionItem
    property bool showsActionItem

    spacing: 0

    RowLayout {
        objectName: "summaryLoading"
        visible: section.kind === "loading"
        spacing: 6
        SmallSpinner {}
        Label {
            // The model's own wait (a cold model loading) when it names one.
            text: section.text.length > 0 ? section.text : qsTr("Summarizing…")
            textFormat: Text.PlainText
            font: Theme.caption
            color: Theme.secondary
        }
    }

    ColumnLayout {
        objectName: "summaryReady"
        Layout.fillWidth: true
        visible: section.kind === "ready"
        spacing: 4
        Label {
            textFormat: Text.PlainText
            objectName: "summaryText"
            Layout.fillWidth: true
            text: section.text
            font: Theme.caption
            color: Theme.primary
            wrapMode: Text.Wrap
        }
        RowLayout {
            objectName: "actionItem"
            Layout.fillWidth: true
            visible: section.showsActionItem
            spacing: 4
            SymbolIcon {
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: 1
                symbol: "arrow.right.circle"
                size: 11
                color: Theme.orange
            }
            Label {
                textFormat: Text.PlainText
                objectName: "actionItemText"
                Layout.fillWidth: true
                text: section.actionItem
                font: Theme.caption2
                color: Theme.orange
                wrapMode: Text.Wrap
            }
        }
    }

    Label {
        textFormat: Text.PlainText
        objectName: "summaryMessage"
        Layout.fillWidth: true
        visible: section.kind === "failed" || section.kind === "unavailable"
        text: section.text
        font: Theme.caption2
        color: Theme.secondary
        wrapMode: Text.Wrap
    }
}
