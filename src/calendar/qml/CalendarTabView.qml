// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Its delegates use the view's ids; binding them to this context (ComponentBehavior) breaks how the views are loaded.
// qmllint disable unqualified
import QtQuick
import QtQuick.Controls
import Tarnlight.Ui
import Tarnlight.Calendar

// The Calendar tab: the next two weeks, one section per day under a header
// that stays pinned while its section scrolls; a click opens the event.
Item {
    id: root
    objectName: "calendarTab"

    readonly property var loadState: calendar.state
    readonly property int count: calendar.events.count

    CalendarViewModel {
        id: calendar
    }

    // The header's refresh button and the refresh interval.
    function refresh() {
        calendar.startRefresh()
    }
    // Loads when first shown, and again only after a refresh found no account.
    function start() {
        calendar.start()
    }
    Component.onCompleted: start()
    onVisibleChanged: if (visible) start()

    Spinner {
        objectName: "calendarLoading"
        anchors.centerIn: parent
        visible: root.loadState.isLoading && root.count === 0
        running: visible
    }
    EmptyStateView {
        objectName: "calendarEmpty"
        anchors.fill: parent
        visible: (root.loadState.isIdle || root.loadState.isLoaded) && root.count === 0
        systemImage: "calendar"
        title: qsTr("Nothing scheduled")
        message: qsTr("No events in the next two weeks.")
    }
    // Events of an earlier load are not shown beside the error.
    EmptyStateView {
        objectName: "calendarError"
        anchors.fill: parent
        visible: root.loadState.isError
        systemImage: "exclamationmark.triangle"
        title: qsTr("Couldn't load calendar")
        message: root.loadState.message
    }

    // The chosen calendars that failed while the others loaded.
    Label {
        id: notice
        objectName: "calendarNotice"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        padding: 6
        leftPadding: 12
        visible: !root.loadState.isError && calendar.notice !== ""
        height: visible ? implicitHeight : 0
        textFormat: Text.PlainText
        text: calendar.notice
        font: Theme.caption
        color: Theme.red
        wrapMode: Text.Wrap
    }

    ListView {
        objectName: "calendarList"
        anchors.top: notice.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: !root.loadState.isError && root.count > 0
        clip: true
        spacing: 0
        boundsBehavior: Flickable.StopAtBounds
        model: calendar.events
        ScrollBar.vertical: ScrollBar {}

        section.property: "day"
        section.criteria: ViewSection.FullString
        section.labelPositioning: ViewSection.InlineLabels | ViewSection.CurrentLabelAtStart
        section.delegate: DayHeader {
            width: ListView.view.width
            labelFor: calendar
        }

        delegate: EventRow {
            width: ListView.view.width
            onTapped: calendar.openEvent(event, accounts.length > 0 ? accounts[0].id : "")
            onJoinRequested: calendar.joinMeeting(event)
        }
    }
}
