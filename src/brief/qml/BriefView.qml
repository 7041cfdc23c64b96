// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui
import Tarnlight.Brief

// The brief of the active account: Today from the calendar, and on request
// what the unread mail asks of the user, each item linked to its message.
Item {
    id: root
    objectName: "briefView"

    readonly property var loadState: brief.state
    // Asks the popover to show the message expanded in the Mail tab.
    signal messageRequested(string messageId)

    BriefViewModel {
        id: brief
    }

    function refresh() {
        brief.startRefresh()
    }
    Component.onCompleted: brief.start()

    component SectionTitle: Label {
        textFormat: Text.PlainText
        font: Theme.headline
        Layout.topMargin: 8
    }
    component Caption: Label {
        textFormat: Text.PlainText
        font: Theme.caption
        color: Theme.secondary
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }

    Spinner {
        objectName: "briefLoading"
        anchors.centerIn: parent
        visible: root.loadState.isLoading && brief.todayEvents.length === 0 && brief.unreadCount === 0
        running: visible
    }
    EmptyStateView {
        objectName: "briefError"
        anchors.fill: parent
        visible: root.loadState.isError
        systemImage: "exclamationmark.triangle"
        title: qsTr("Couldn't load the brief")
        message: root.loadState.message
    }

    ScrollView {
        id: scroll
        anchors.fill: parent
        visible: root.loadState.isLoaded
        contentWidth: availableWidth
        clip: true

        ColumnLayout {
            width: scroll.availableWidth
            spacing: 4

            ColumnLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 12
                Layout.rightMargin: 12
                spacing: 4

                SectionTitle { text: qsTr("Today") }
                Caption {
                    objectName: "briefNoEvents"
                    visible: brief.todayEvents.length === 0
                    text: qsTr("Nothing left today or tomorrow morning.")
                }
                Repeater {
                    objectName: "briefEvents"
                    model: brief.todayEvents
                    delegate: ColumnLayout {
                        id: eventLine
                        required property var modelData
                        required property int index
                        Layout.fillWidth: true
                        spacing: 2
                        Caption {
                            visible: eventLine.index === brief.firstTomorrow
                            text: qsTr("Tomorrow morning")
                            Layout.topMargin: 4
                        }
                        RowLayout {
                        Layout.fillWidth: true
                        Label {
                            textFormat: Text.PlainText
                            font: Theme.caption
                            color: Theme.secondary
                            text: eventLine.modelData.timeLabel
                            Layout.preferredWidth: 64
                        }
                        Label {
                            textFormat: Text.PlainText
                            text: eventLine.modelData.title
                            font.strikeout: eventLine.modelData.declined
                            elide: Text.ElideRight
                            Layout.fillWidth: true
                        }
                        }
                    }
                }
                Repeater {
                    objectName: "briefConflicts"
                    model: brief.conflicts
                    delegate: Label {
                        required property var modelData
                        objectName: "briefConflict"
                        textFormat: Text.PlainText
                        font: Theme.caption
                        color: Theme.orange
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                        text: qsTr("Overlap: %1 and %2").arg(modelData.first.title).arg(modelData.second.title)
                    }
                }
                RowLayout {
                    objectName: "briefNextMeeting"
                    visible: brief.nextMeeting !== undefined && brief.nextMeeting !== null
                    Layout.fillWidth: true
                    Caption {
                        text: visible ? qsTr("Next meeting: %1 at %2").arg(brief.nextMeeting.title)
                                                                     .arg(brief.nextMeeting.timeLabel)
                                      : ""
                    }
                    LinkButton {
                        objectName: "briefJoin"
                        text: qsTr("Join")
                        onClicked: brief.openMeeting(brief.nextMeeting.meetingLink)
                    }
                }

                SectionTitle { text: qsTr("Needs you") }
                RowLayout {
                    Layout.fillWidth: true
                    visible: brief.needsYouKind !== "running"
                    Caption {
                        objectName: "briefNeedsYouHint"
                        text: brief.unreadCount === 0 ? qsTr("No unread mail.")
                              : brief.needsYouKind === "done" ? brief.elapsedText
                              : qsTr("The local model reads %n unread mail.", "", brief.unreadCount)
                    }
                    LinkButton {
                        objectName: "briefAsk"
                        visible: brief.unreadCount > 0
                        text: brief.needsYouKind === "done" ? qsTr("Ask again") : qsTr("Find what needs me")
                        onClicked: brief.startNeedsYou()
                    }
                }
                RowLayout {
                    objectName: "briefRunning"
                    visible: brief.needsYouKind === "running"
                    SmallSpinner {}
                    Caption { text: qsTr("Reading your mail…") }
                    LinkButton {
                        objectName: "briefCancel"
                        text: qsTr("Cancel")
                        onClicked: brief.cancelNeedsYou()
                    }
                }
                Caption {
                    objectName: "briefFailed"
                    visible: brief.needsYouKind === "failed"
                    color: Theme.red
                    text: brief.needsYouMessage
                }
                Caption {
                    objectName: "briefNothing"
                    visible: brief.needsYouKind === "done" && brief.needsYouItems.length === 0
                    text: qsTr("Nothing in your unread mail asks for you.")
                }
            }

            Repeater {
                objectName: "briefItems"
                model: brief.needsYouItems
                delegate: ItemDelegate {
                    id: itemRow
                    required property var modelData
                    objectName: "briefItem:" + modelData.sourceId
                    Layout.fillWidth: true
                    leftPadding: 12
                    rightPadding: 12
                    onClicked: root.messageRequested(modelData.sourceId)
                    contentItem: ColumnLayout {
                        spacing: 1
                        Label {
                            textFormat: Text.PlainText
                            text: itemRow.modelData.text
                            wrapMode: Text.Wrap
                            Layout.fillWidth: true
                        }
                        Label {
                            textFormat: Text.PlainText
                            font: Theme.caption
                            color: Theme.secondary
                            elide: Text.ElideRight
                            Layout.fillWidth: true
                            text: itemRow.modelData.due === ""
                                  ? itemRow.modelData.sender + " · " + itemRow.modelData.subject
                                  : qsTr("Due %1").arg(itemRow.modelData.due) + " · " + itemRow.modelData.sender
                        }
                    }
                }
            }
            Caption {
                objectName: "briefDropNote"
                visible: text !== "" && brief.needsYouKind === "done"
                text: brief.dropNote
                Layout.leftMargin: 12
                Layout.rightMargin: 12
                Layout.bottomMargin: 8
            }
        }
    }
}
