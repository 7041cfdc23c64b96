// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// One event: its time bar (orange within the hour, else its calendar's
// colour, faded once started), title (struck through when declined), time,
// place and guests, "Soon" within the hour, and "Join" for a video call
// that starts within ten minutes or is running.
Item {
    id: row
    objectName: "eventRow:" + eventId

    required property var event
    required property string eventId
    required property string title
    required property var start
    required property bool hasStart
    required property string timeLabel
    required property string location
    required property int attendeeCount
    required property string calendarColour
    // Over all accounts: each account that has the event, as a dot.
    required property var accounts

    // Asks to open the event in the browser (the expanded card's link).
    signal tapped()
    // Expanded, the row shows the meeting-prep card under it.
    property bool expanded: false
    signal joinRequested()

    // Read when the row is built; the row follows the clock only when rebuilt.
    readonly property real secondsToStart: hasStart ? (start.getTime() - Date.now()) / 1000 : NaN
    readonly property bool startsSoon: hasStart && secondsToStart > 0 && secondsToStart < 3600
    readonly property bool hasStarted: hasStart && secondsToStart < 0
    readonly property bool hasEnded: hasStarted && !isNaN(event.end.getTime()) && event.end.getTime() <= Date.now()
    readonly property bool canJoin: event.meetingLink !== "" && hasStart && secondsToStart <= 600 && !hasEnded

    implicitHeight: button.implicitHeight + (prepCard.item ? prepCard.height + 8 : 0) + divider.height

    AbstractButton {
        id: button
        objectName: "eventButton"
        width: parent.width
        leftPadding: 12
        rightPadding: 12
        topPadding: 6
        bottomPadding: 6
        background: null
        onClicked: {
            row.expanded = !row.expanded
            if (row.expanded)
                prepCard.setSource("qrc:/qt/qml/Tarnlight/Brief/MeetingPrepCard.qml", {
                    event: row.event,
                    accountId: row.accounts.length > 0 ? row.accounts[0].id : ""
                })
            else
                prepCard.setSource("")
        }

        contentItem: RowLayout {
            spacing: 8

            Rectangle {
                objectName: "timeBar"
                Layout.fillHeight: true
                implicitWidth: 3
                radius: 2
                color: row.startsSoon ? Theme.orange : (row.calendarColour !== "" ? row.calendarColour : Theme.accent)
                opacity: row.hasStarted ? 0.3 : 1
            }
            ColumnLayout {
                Layout.alignment: Qt.AlignTop
                Layout.fillWidth: true
                spacing: 2
                Label {
                    textFormat: Text.PlainText
                    objectName: "eventTitle"
                    Layout.fillWidth: true
                    text: row.title
                    font.family: Theme.subheadline.family
                    font.pointSize: Theme.subheadline.pointSize
                    font.weight: Theme.subheadline.weight
                    color: row.hasStarted || row.event.declined ? Theme.secondary : Theme.primary
                    font.strikeout: row.event.declined
                    elide: Text.ElideRight
                    maximumLineCount: 1
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    Row {
                        objectName: "eventAccounts"
                        visible: row.accounts.length > 0
                        spacing: 2
                        Repeater {
                            model: row.accounts
                            delegate: AccountDot {
                                required property var modelData
                                objectName: "accountDot:" + modelData.id
                                initials: modelData.initials
                                colour: modelData.colour
                                email: modelData.email
                            }
                        }
                    }
                    Label {
                        textFormat: Text.PlainText
                        objectName: "eventTime"
                        text: row.timeLabel
                        font: Theme.caption2
                        color: Theme.secondary
                    }
                    RowLayout {
                        objectName: "eventLocation"
                        Layout.fillWidth: true
                        Layout.maximumWidth: implicitWidth
                        visible: row.location.length > 0
                        spacing: 2
                        SymbolIcon {
                            symbol: "mappin"
                            size: 11
                            color: Theme.secondary
                        }
                        Label {
                            objectName: "eventLocationText"
                            textFormat: Text.PlainText
                            Layout.fillWidth: true
                            text: row.location
                            font: Theme.caption2
                            color: Theme.secondary
                            elide: Text.ElideRight
                            maximumLineCount: 1
                        }
                    }
                    RowLayout {
                        objectName: "eventAttendees"
                        visible: row.attendeeCount >= 1
                        spacing: 2
                        SymbolIcon {
                            symbol: "person.2"
                            size: 11
                            color: Theme.secondary
                        }
                        Label {
                            textFormat: Text.PlainText
                            objectName: "eventAttendeeCount"
                            text: row.attendeeCount.toString()
                            font: Theme.caption2
                            color: Theme.secondary
                        }
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                }
            }
            Label {
                textFormat: Text.PlainText
                objectName: "soonBadge"
                Layout.alignment: Qt.AlignTop
                visible: row.startsSoon
                text: qsTr("Soon")
                font.family: Theme.caption2.family
                font.pointSize: Theme.caption2.pointSize
                font.weight: Font.DemiBold
                color: Theme.orange
            }
            Button {
                objectName: "joinButton"
                Layout.alignment: Qt.AlignVCenter
                visible: row.canJoin
                highlighted: true
                text: qsTr("Join")
                onClicked: row.joinRequested()
            }
        }
    }

    Loader {
        id: prepCard
        objectName: "prepCardLoader"
        y: button.height
        x: 27 // under the title, past the time bar
        width: parent.width - x - 12
        Connections {
            target: prepCard.item
            ignoreUnknownSignals: true
            function onOpenEventRequested() { row.tapped() }
        }
    }

    Divider {
        id: divider
        anchors.bottom: parent.bottom
        width: parent.width
    }
}
