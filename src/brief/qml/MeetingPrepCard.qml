// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui
import Tarnlight.Brief

// Under an expanded calendar row: the event's call, its guests and their
// answers, their recent unread mail, its files, and on request three lines
// from the local model to read before it.
ColumnLayout {
    id: card
    objectName: "meetingPrepCard"
    spacing: 4

    required property var event
    // The row's account over all accounts; empty for the active one.
    property string accountId
    signal openEventRequested()

    MeetingPrepModel {
        id: prep
        event: card.event
        accountId: card.accountId
    }
    Component.onCompleted: prep.start()

    component Caption: Label {
        textFormat: Text.PlainText
        font: Theme.caption
        color: Theme.secondary
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    component Heading: Label {
        textFormat: Text.PlainText
        font: Theme.caption
        color: Theme.primary
        Layout.topMargin: 4
    }

    function responseText(response) {
        switch (response) {
        case "accepted": return qsTr("accepted")
        case "declined": return qsTr("declined")
        case "tentative": return qsTr("maybe")
        default: return qsTr("no answer")
        }
    }

    RowLayout {
        Layout.fillWidth: true
        LinkButton {
            objectName: "prepJoin"
            visible: card.event.meetingLink !== ""
            text: qsTr("Join call")
            font: Theme.caption
            onClicked: prep.openAttachment(card.event.meetingLink)
        }
        LinkButton {
            objectName: "prepOpenEvent"
            text: qsTr("Open in Calendar")
            font: Theme.caption
            onClicked: card.openEventRequested()
        }
        Item { Layout.fillWidth: true }
    }

    Heading {
        visible: prep.attendees.length > 0
        text: qsTr("Guests")
    }
    Repeater {
        model: prep.attendees
        delegate: Caption {
            required property var modelData
            objectName: "prepGuest"
            text: modelData.name + " · " + card.responseText(modelData.response)
        }
    }

    Heading {
        text: qsTr("Unread from the guests")
        visible: prep.attendees.length > 0
    }
    Caption {
        objectName: "prepNoMail"
        visible: prep.attendees.length > 0 && prep.state.isLoaded && prep.mails.length === 0
        text: qsTr("No unread mail from them in the last 14 days.")
    }
    Caption {
        visible: prep.state.isError
        color: Theme.red
        text: prep.state.message
    }
    Repeater {
        model: prep.mails
        delegate: Caption {
            required property var modelData
            objectName: "prepMail:" + modelData.id
            elide: Text.ElideRight
            wrapMode: Text.NoWrap
            text: modelData.sender + ": " + modelData.subject
        }
    }

    Heading {
        visible: prep.attachments.length > 0
        text: qsTr("Files")
    }
    Repeater {
        model: prep.attachments
        delegate: LinkButton {
            required property var modelData
            objectName: "prepFile"
            font: Theme.caption
            text: modelData.title
            onClicked: prep.openAttachment(modelData.fileUrl)
        }
    }

    RowLayout {
        Layout.fillWidth: true
        visible: prep.mails.length > 0
        LinkButton {
            objectName: "prepPrepare"
            visible: prep.prepareKind !== "running"
            font: Theme.caption
            text: qsTr("Prepare")
            onClicked: prep.startPrepare()
        }
        SmallSpinner { visible: prep.prepareKind === "running" }
        LinkButton {
            objectName: "prepCancel"
            visible: prep.prepareKind === "running"
            font: Theme.caption
            text: qsTr("Cancel")
            onClicked: prep.cancelPrepare()
        }
        Item { Layout.fillWidth: true }
    }
    Repeater {
        model: prep.prepareLines
        delegate: Label {
            required property string modelData
            objectName: "prepLine"
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            text: "• " + modelData
        }
    }
    Caption {
        objectName: "prepNote"
        visible: text !== ""
        color: prep.prepareKind === "failed" ? Theme.red : Theme.secondary
        text: prep.prepareMessage
    }
}
