// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Tarnlight.Ui
import Tarnlight.Mail

// The Mail tab: the messages of the selected labels, each row expanding to
// its summary and actions; empty, loading and error panels otherwise.
Item {
    id: root
    objectName: "mailTab"

    readonly property var loadState: mail.state
    readonly property string accountNotice: mail.accountNotice
    readonly property int count: mail.messages.count

    MailViewModel {
        id: mail
    }

    // The header's refresh button and the refresh interval.
    function refresh() {
        mail.startRefresh()
    }
    // Loads when first shown, and again only after a refresh found no account.
    function start() {
        mail.start()
    }
    Component.onCompleted: start()

    // Shows that message expanded once the list has it (the brief's links).
    property string messageToOpen: ""
    function openMessage(messageId) {
        messageToOpen = messageId
        showMessageToOpen()
    }
    function showMessageToOpen() {
        const row = messageToOpen === "" ? -1 : mail.expandMessage(messageToOpen)
        if (row < 0)
            return
        messageToOpen = ""
        list.positionViewAtIndex(row, ListView.Beginning)
    }
    Connections {
        target: mail
        function onMessagesChanged() { root.showMessageToOpen() }
    }
    onVisibleChanged: if (visible) start()

    EmptyStateView {
        objectName: "mailIdle"
        anchors.fill: parent
        visible: root.loadState.isIdle
        systemImage: "envelope"
        title: qsTr("Inbox")
        message: qsTr("Refresh, or wait for the next check.")
    }
    Spinner {
        objectName: "mailLoading"
        anchors.centerIn: parent
        visible: root.loadState.isLoading && root.count === 0
        running: visible
    }
    EmptyStateView {
        objectName: "mailError"
        anchors.fill: parent
        visible: root.loadState.isError
        systemImage: "exclamationmark.triangle"
        title: qsTr("Couldn't load mail")
        message: root.loadState.message
    }
    EmptyStateView {
        objectName: "mailAllClear"
        anchors.fill: parent
        visible: root.loadState.isLoaded && root.count === 0
        systemImage: "checkmark.circle"
        title: qsTr("All clear")
        message: qsTr("No messages in the selected labels.")
    }

    NoticeLine {
        id: notice
        objectName: "mailNotice"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        anchors.topMargin: visible ? 4 : 0
        anchors.top: parent.top
        text: root.accountNotice
    }
    // During a reload the earlier list stays on screen.
    ListView {
        id: list
        objectName: "mailList"
        anchors.fill: parent
        anchors.topMargin: notice.visible ? notice.height + 8 : 0
        visible: (root.loadState.isLoaded || root.loadState.isLoading) && root.count > 0
        clip: true
        spacing: 0
        boundsBehavior: Flickable.StopAtBounds
        model: mail.messages
        ScrollBar.vertical: ScrollBar {}

        delegate: MailRow {
            width: ListView.view.width
            actions: mail
        }
    }
}
