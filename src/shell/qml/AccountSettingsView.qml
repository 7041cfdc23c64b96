// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import QtQuick.Layouts
import Tarnlight.Accounts
import Tarnlight.Ui
import Tarnlight.Shell

// The "Accounts" tab: every account with its active state, a way to make one
// active or sign it out, and a button that adds another.
Item {
    id: view
    readonly property var accounts: GoogleAuthService.accounts
    readonly property bool isAdding: adder.running
    readonly property string errorText: adder.errorText

    function add() {
        if (isAdding)
            return
        adder.start()
    }

    SignInAction {
        id: adder
        auth: GoogleAuthService
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.margin
        spacing: 12

        Label {
            textFormat: Text.PlainText
            objectName: "accountsEmptyText"
            Layout.fillWidth: true
            visible: view.accounts.length === 0
            text: adder.clientConfigured ? qsTr("No accounts yet. Add one to get started.")
                                         : qsTr("Add a Secrets.plist with a Google “Desktop app” client ID, then relaunch.")
            color: Theme.secondary
            wrapMode: Text.Wrap
        }
        Frame {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.minimumHeight: 120
            visible: view.accounts.length > 0
            padding: 1
            background: Rectangle {
                color: Theme.palette.base
                border.color: Theme.separator
                radius: 2
            }

            ListView {
                id: list
                objectName: "accountList"
                anchors.fill: parent
                clip: true
                model: view.accounts
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}
                delegate: AccountRow {
                    width: list.width
                }
            }
        }
        Item {
            // Keeps the button row at the bottom while the list is hidden.
            Layout.fillHeight: true
            visible: view.accounts.length === 0
        }
        RowLayout {
            spacing: 10

            Button {
                id: addButton
                objectName: "addAccountButton"
                enabled: adder.clientConfigured && !view.isAdding
                text: qsTr("Add Account")
                icon.name: Symbols.themeName("plus")
                icon.source: Symbols.fallback("plus")
                icon.cache: false // released at once, not expired by a timer later
                icon.width: 14
                icon.height: 14
                icon.color: enabled ? Theme.primary : Theme.tertiary
                onClicked: view.add()
                // The spinner takes the label's place without changing the size.
                contentItem: Item {
                    implicitWidth: label.implicitWidth
                    implicitHeight: label.implicitHeight
                    IconLabel {
                        id: label
                        anchors.centerIn: parent
                        visible: !view.isAdding
                        spacing: 4
                        display: AbstractButton.TextBesideIcon
                        text: addButton.text
                        icon: addButton.icon
                        font: addButton.font
                        color: addButton.enabled ? Theme.primary : Theme.tertiary
                    }
                    Spinner {
                        objectName: "addAccountButtonSpinner"
                        anchors.centerIn: parent
                        visible: view.isAdding
                        running: visible
                        implicitWidth: 16
                        implicitHeight: 16
                        padding: 0
                    }
                }
            }
            Label {
                textFormat: Text.PlainText
                objectName: "addAccountError"
                Layout.fillWidth: true
                visible: view.errorText !== ""
                text: view.errorText
                font: Theme.caption
                color: Theme.red
                wrapMode: Text.Wrap
                maximumLineCount: 3
                elide: Text.ElideRight
            }
        }
    }
}
