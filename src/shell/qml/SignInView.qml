// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Accounts
import Tarnlight.Ui
import Tarnlight.Shell

// The popover's body while no account is active: an invitation to connect a
// Google account, or the note that no OAuth client is configured.
Item {
    id: view
    readonly property bool isWorking: action.running
    readonly property string errorText: action.errorText
    readonly property bool configured: action.clientConfigured

    function signIn() {
        action.start()
    }

    SignInAction {
        id: action
        auth: GoogleAuthService
    }

    ColumnLayout {
        anchors.centerIn: parent
        width: parent.width - 2 * Theme.margin
        spacing: 12

        SymbolIcon {
            Layout.alignment: Qt.AlignHCenter
            symbol: "person.crop.circle.badge.plus"
            size: 36
            color: Theme.secondary
        }
        Label {
            textFormat: Text.PlainText
            objectName: "signInTitle"
            Layout.alignment: Qt.AlignHCenter
            text: view.configured ? qsTr("Connect a Google account") : qsTr("OAuth not configured")
            font: Theme.headline
            color: Theme.primary
        }
        Label {
            textFormat: Text.PlainText
            objectName: "signInMessage"
            Layout.fillWidth: true
            text: view.configured
                  ? qsTr("Sign in to see Mail, Drive, and Calendar in one place.")
                  : qsTr("Add a Secrets.plist with a Google “Desktop app” client ID (see Secrets.example.plist), then relaunch.")
            font: Theme.subheadline
            color: Theme.secondary
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
        }
        ProminentButton {
            objectName: "signInButton"
            Layout.alignment: Qt.AlignHCenter
            visible: view.configured
            enabled: !view.isWorking
            busy: view.isWorking
            text: qsTr("Sign in with Google")
            onClicked: view.signIn()
        }
        Label {
            objectName: "signInError"
            Layout.fillWidth: true
            visible: view.errorText !== ""
            text: view.errorText
            textFormat: Text.PlainText
            font: Theme.caption
            color: Theme.red
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
        }
    }
}
