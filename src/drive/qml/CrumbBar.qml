// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// The folder trail, "My Drive" first; a crumb goes back up to its folder.
// Scrolls sideways when the trail is wider than the tab.
Flickable {
    id: bar
    objectName: "crumbBar"

    property alias model: crumbs.model
    signal chosen(var crumb)

    implicitHeight: row.implicitHeight + 12
    contentWidth: row.implicitWidth + 24
    contentHeight: height
    flickableDirection: Flickable.HorizontalFlick
    boundsBehavior: Flickable.StopAtBounds
    clip: true
    // The folder shown is the last crumb: keep it in sight.
    onContentWidthChanged: contentX = Math.max(0, contentWidth - width)

    RowLayout {
        id: row
        x: 12
        y: 6
        spacing: 4

        Repeater {
            id: crumbs
            delegate: RowLayout {
                id: step
                required property var crumb
                required property string name
                required property int index
                readonly property bool isLast: index === crumbs.count - 1
                // The trail starts at the root, shown in the user's language.
                readonly property string shownName: index === 0 ? qsTr("My Drive") : name

                spacing: 4
                SymbolIcon {
                    objectName: "crumbSeparator"
                    visible: step.index > 0
                    symbol: "chevron.right"
                    size: 10
                    color: Theme.tertiary
                }
                AbstractButton {
                    objectName: "crumb:" + step.name
                    text: step.shownName
                    background: null
                    onClicked: bar.chosen(step.crumb)
                    contentItem: Label {
                        textFormat: Text.PlainText
                        objectName: "crumbText"
                        text: step.shownName
                        font: Theme.caption
                        color: step.isLast ? Theme.primary : Theme.secondary
                    }
                }
            }
        }
    }
}
