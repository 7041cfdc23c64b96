// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Accounts
import Tarnlight.Ui
import Tarnlight.Shell

// The header's account menu. Its label is the active account (avatar and
// name) or a prompt; its items switch accounts and add one.
ToolButton {
    id: switcher
    readonly property var accounts: GoogleAuthService.accounts
    readonly property var active: GoogleAuthService.activeAccount
    readonly property bool hasActive: active !== undefined && active !== null
    // "All accounts" is chosen (and two or more are signed in).
    readonly property bool showsAll: GoogleAuthService.showsAllAccounts
    // True while an account addition started from this menu runs.
    readonly property bool isAdding: adder.running

    // Chosen from the menu; a second choice while one runs does nothing, and
    // a failure shows nothing here.
    function addAccount() {
        if (isAdding)
            return
        adder.start()
    }

    flat: true
    leftPadding: 6
    rightPadding: 6
    onClicked: menu.open()

    SignInAction {
        id: adder
        auth: GoogleAuthService
    }

    contentItem: RowLayout {
        spacing: 6

        // Each account's dot, overlapping a little, while all are shown.
        Row {
            objectName: "switcherDots"
            visible: switcher.showsAll
            spacing: -4
            Repeater {
                model: switcher.showsAll ? switcher.accounts.slice(0, 3) : []
                delegate: AccountDot {
                    required property var modelData
                    width: 18
                    height: 18
                    initials: modelData.initials
                    colour: modelData.colour
                }
            }
        }
        Avatar {
            objectName: "switcherAvatar"
            visible: switcher.hasActive && !switcher.showsAll
            initials: switcher.hasActive ? switcher.active.initials : ""
        }
        SymbolIcon {
            objectName: "switcherPlaceholderSymbol"
            visible: !switcher.hasActive
            symbol: "person.crop.circle"
            size: 18
            color: Theme.secondary
        }
        Label {
            textFormat: Text.PlainText
            objectName: "switcherLabel"
            Layout.maximumWidth: 240
            text: switcher.showsAll ? qsTr("All accounts")
                  : switcher.hasActive ? switcher.active.displayName
                  : switcher.accounts.length > 0 ? qsTr("Select account") : qsTr("No account")
            font: Theme.subheadline
            color: Theme.primary
            elide: Text.ElideRight
            maximumLineCount: 1
        }
    }

    Menu {
        id: menu
        objectName: "switcherMenu"
        y: switcher.height

        MenuItem {
            objectName: "allAccountsItem"
            readonly property bool isChosen: switcher.showsAll
            visible: switcher.accounts.length >= 2
            height: visible ? implicitHeight : 0
            text: qsTr("All accounts")
            icon.name: Symbols.themeName(isChosen ? "checkmark" : "person.2")
            icon.source: Symbols.fallback(isChosen ? "checkmark" : "person.2")
            icon.cache: false
            icon.color: Theme.primary
            icon.width: 16
            icon.height: 16
            palette.text: Theme.primary
            onTriggered: GoogleAuthService.showAllAccounts()
        }
        Instantiator {
            model: switcher.accounts
            delegate: MenuItem {
                required property var modelData
                readonly property bool isActive: !switcher.showsAll && switcher.hasActive
                                                 && switcher.active.id === modelData.id
                objectName: "accountItem:" + modelData.id
                text: modelData.email
                icon.name: Symbols.themeName(isActive ? "checkmark" : "person.crop.circle")
                icon.source: Symbols.fallback(isActive ? "checkmark" : "person.crop.circle")
                icon.cache: false // released at once, not expired by a timer later
                icon.color: Theme.primary
                icon.width: 16
                icon.height: 16
                palette.text: Theme.primary
                onTriggered: GoogleAuthService.setActive(modelData)
            }
            // After "All accounts".
            onObjectAdded: (index, object) => menu.insertItem(index + 1, object)
            onObjectRemoved: (index, object) => menu.removeItem(object)
        }
        MenuSeparator {
            objectName: "accountsSeparator"
            visible: switcher.accounts.length > 0
            height: visible ? implicitHeight : 0
        }
        MenuItem {
            objectName: "addAccountItem"
            text: qsTr("Add Account…")
            // In line with the account titles, which follow a symbol.
            leftPadding: switcher.accounts.length > 0 ? padding + 16 + spacing : padding
            enabled: adder.clientConfigured && !switcher.isAdding
            // Bound to the theme, so a switch to dark mode reaches the open menu too.
            palette.text: Theme.primary
            palette.disabled.text: Theme.tertiary
            onTriggered: switcher.addAccount()
        }
    }
}
