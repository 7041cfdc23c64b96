// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui

// One message: a header that expands and collapses the row; expanded, the
// summary, the four actions and the state of a drafted reply.
Item {
    id: row
    objectName: "mailRow:" + messageId

    required property var message
    required property string messageId
    required property string fromDisplay
    required property string subject
    required property string snippet
    required property string relativeDate
    required property bool isUnread
    required property bool isExpanded
    required property string summaryKind
    required property string summaryText
    required property string actionItem
    required property bool showsActionItem
    required property string replyKind
    required property string replyMessage
    // Whose the message is while every account is shown (empty otherwise).
    required property var accounts
    // The MailViewModel the row's clicks go to.
    property var actions

    implicitHeight: content.implicitHeight + 16 + divider.height

    // The row's actions: links in the caption size, set close together.
    component ActionLink: LinkButton {
        font: Theme.caption
        padding: 0
    }

    ColumnLayout {
        id: content
        x: 12
        y: 8
        width: row.width - 24
        spacing: 6

        AbstractButton {
            objectName: "mailRowHeader"
            Layout.fillWidth: true
            onClicked: row.actions.toggle(row.message)
            background: null
            contentItem: RowLayout {
                spacing: 8

                Rectangle {
                    objectName: "unreadDot"
                    Layout.alignment: Qt.AlignTop
                    Layout.topMargin: 5
                    implicitWidth: 7
                    implicitHeight: 7
                    radius: 3.5
                    color: row.isUnread ? Theme.accent : "transparent"
                }
                ColumnLayout {
                    Layout.alignment: Qt.AlignTop
                    Layout.fillWidth: true
                    spacing: 2

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 8
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
                        Label {
                            textFormat: Text.PlainText
                            objectName: "sender"
                            Layout.fillWidth: true
                            text: row.fromDisplay
                            font.family: Theme.subheadline.family
                            font.pointSize: Theme.subheadline.pointSize
                            font.weight: row.isUnread ? Font.DemiBold : Font.Normal
                            color: Theme.primary
                            elide: Text.ElideRight
                            maximumLineCount: 1
                        }
                        Label {
                            textFormat: Text.PlainText
                            objectName: "date"
                            text: row.relativeDate
                            font: Theme.caption2
                            color: Theme.secondary
                        }
                    }
                    Label {
                        textFormat: Text.PlainText
                        objectName: "subject"
                        Layout.fillWidth: true
                        text: row.subject.length > 0 ? row.subject : qsTr("(no subject)")
                        font: Theme.caption
                        color: Theme.primary
                        elide: Text.ElideRight
                        maximumLineCount: 1
                    }
                    Label {
                        textFormat: Text.PlainText
                        objectName: "snippet"
                        Layout.fillWidth: true
                        text: row.snippet
                        font: Theme.caption
                        color: Theme.secondary
                        wrapMode: Text.Wrap
                        elide: Text.ElideRight
                        maximumLineCount: row.isExpanded ? 3 : 1
                    }
                }
            }
        }

        MailSummarySection {
            Layout.fillWidth: true
            Layout.leftMargin: 15
            visible: row.isExpanded && kind.length > 0
            kind: row.summaryKind
            text: row.summaryText
            actionItem: row.actionItem
            showsActionItem: row.showsActionItem
        }

        RowLayout {
            objectName: "mailActions"
            Layout.leftMargin: 15
            visible: row.isExpanded
            spacing: 12
            ActionLink {
                objectName: "openInGmail"
                text: qsTr("Open in Gmail")
                onClicked: row.actions.openInGmail(row.message)
            }
            ActionLink {
                objectName: "draftReply"
                text: qsTr("Draft reply")
                enabled: row.replyKind !== "drafting"
                onClicked: row.actions.startDraftReply(row.message)
            }
            ActionLink {
                objectName: "markRead"
                text: qsTr("Mark read")
                visible: row.isUnread
                onClicked: row.actions.startMarkRead(row.message)
            }
            ActionLink {
                objectName: "archive"
                text: qsTr("Archive")
                onClicked: row.actions.startArchive(row.message)
            }
        }

        MailReplySection {
            Layout.fillWidth: true
            Layout.leftMargin: 15
            visible: row.isExpanded && kind.length > 0
            kind: row.replyKind
            message: row.replyMessage
        }
    }

    Divider {
        id: divider
        anchors.bottom: parent.bottom
        width: parent.width
    }
}
