// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Its delegates use the view's ids; binding them to this context (ComponentBehavior) breaks how the views are loaded.
// qmllint disable unqualified
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Tarnlight.Accounts
import Tarnlight.Ui
import Tarnlight.Shell

// The popover's content, 380 wide: the header with the account switcher, the
// tab picker over the selected tab (or the sign-in view while no account is
// active), and the footer with Settings and Quit.
Item {
    id: root
    // Index into TarnTabs.all; the popover starts on Mail.
    property int selectedTab: 0
    // The brief shows in place of the tabs until a tab is picked.
    property bool showsBrief: false
    // A message the Mail tab opens expanded once it is loaded.
    property string pendingMessageId: ""
    readonly property bool hasActiveAccount: GoogleAuthService.activeAccount !== undefined
                                             && GoogleAuthService.activeAccount !== null
    // The tab view on screen; its refresh() reloads it.
    property var shownTab: null
    readonly property bool canRefresh: hasActiveAccount && shownTab !== null
                                       && typeof shownTab.refresh === "function"
    readonly property bool popoverShown: Window.window ? Window.window.visible : false
    signal settingsRequested()

    function openInMail(messageId) {
        pendingMessageId = messageId
        selectedTab = 0 // Mail
        showsBrief = false
    }

    function refreshShownTab() {
        if (canRefresh)
            shownTab.refresh()
    }

    // Reloads the shown tab on the chosen interval, only while the popover
    // is up; with "Off" there is no timer running at all.
    Timer {
        objectName: "refreshTimer"
        interval: Math.max(1, AppSettings.refreshMinutes) * 60000
        repeat: true
        running: AppSettings.refreshMinutes > 0 && root.popoverShown && root.canRefresh
        onTriggered: root.refreshShownTab()
    }

    implicitWidth: 380
    implicitHeight: column.implicitHeight

    ColumnLayout {
        id: column
        anchors.fill: parent
        spacing: 0

        RowLayout {
            objectName: "popoverHeader"
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.topMargin: 8
            Layout.bottomMargin: 8

            AccountSwitcherView {
                objectName: "accountSwitcher"
            }
            Item { Layout.fillWidth: true }
            SymbolButton {
                objectName: "briefButton"
                symbol: "sparkles"
                text: qsTr("Brief")
                visible: root.hasActiveAccount
                checkable: true
                checked: root.showsBrief
                onClicked: root.showsBrief = checked
                ToolTip.visible: hovered
                ToolTip.text: qsTr("Today's events and what your unread mail asks of you")
                ToolTip.delay: 500
            }
            // A disabled control gets no hover, so the tooltip sits on a wrapper.
            Item {
                objectName: "refreshControl"
                implicitWidth: refresh.implicitWidth
                implicitHeight: refresh.implicitHeight
                ToolTip.visible: refreshHover.hovered
                ToolTip.text: qsTr("Refresh")
                ToolTip.delay: 500
                HoverHandler { id: refreshHover }
                SymbolButton {
                    id: refresh
                    objectName: "refreshButton"
                    symbol: "arrow.clockwise"
                    enabled: root.canRefresh
                    onClicked: root.refreshShownTab()
                }
            }
        }
        Divider {}
        Loader {
            objectName: "popoverBody"
            Layout.fillWidth: true
            sourceComponent: root.hasActiveAccount ? tabArea : signIn
        }
        Divider {}
        RowLayout {
            objectName: "popoverFooter"
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.topMargin: 8
            Layout.bottomMargin: 8

            SymbolButton {
                objectName: "settingsButton"
                symbol: "gearshape"
                text: qsTr("Settings")
                onClicked: root.settingsRequested()
            }
            Item { Layout.fillWidth: true }
            SymbolButton {
                objectName: "quitButton"
                text: qsTr("Quit")
                onClicked: Qt.quit()
            }
        }
    }

    Component {
        id: signIn
        SignInView {
            objectName: "signInView"
            implicitHeight: 320
        }
    }

    Component {
        id: tabArea
        ColumnLayout {
            objectName: "tabArea"
            spacing: 0

            SegmentedPicker {
                objectName: "tabPicker"
                Layout.fillWidth: true
                Layout.margins: 8
                model: TarnTabs.all
                currentIndex: root.showsBrief ? -1 : root.selectedTab
                onActivated: index => {
                    root.selectedTab = index
                    root.showsBrief = false
                }
            }
            // How old the rows shown are while they come from an earlier run,
            // or while the network is gone.
            Label {
                objectName: "staleNote"
                readonly property string note: root.shownTab && root.shownTab.loadState
                                               ? root.shownTab.loadState.note : ""
                Layout.fillWidth: true
                Layout.leftMargin: 12
                Layout.rightMargin: 12
                Layout.bottomMargin: 4
                visible: note !== ""
                text: note
                textFormat: Text.PlainText
                font: Theme.caption
                color: Theme.secondary
                elide: Text.ElideRight
            }
            Item {
                Layout.fillWidth: true
                implicitHeight: 320

                // A new view, with a new model, each time a tab is chosen or
                // the popover opens; none while it is hidden, so a hidden
                // popover holds no data and runs nothing.
                Loader {
                    id: tabView
                    objectName: "tabView"
                    anchors.fill: parent

                    function showSelected() {
                        const tab = TarnTabs.all[root.selectedTab]
                        setSource("")
                        if (!root.popoverShown)
                            return
                        setSource(root.showsBrief ? "qrc:/qt/qml/Tarnlight/Brief/BriefView.qml" : tab.viewUrl)
                    }
                    Component.onCompleted: showSelected()
                    onItemChanged: {
                        root.shownTab = item
                        if (item && root.pendingMessageId !== "" && typeof item.openMessage === "function") {
                            item.openMessage(root.pendingMessageId)
                            root.pendingMessageId = ""
                        }
                    }
                    // The brief's items open their message in the Mail tab.
                    Connections {
                        target: tabView.item
                        ignoreUnknownSignals: true
                        function onMessageRequested(messageId) {
                            // Not while the brief that asks is still emitting.
                            Qt.callLater(root.openInMail, messageId)
                        }
                    }
                    Component.onDestruction: root.shownTab = null
                    Connections {
                        target: root
                        function onSelectedTabChanged() { tabView.showSelected() }
                        function onShowsBriefChanged() { tabView.showSelected() }
                        function onPopoverShownChanged() { tabView.showSelected() }
                    }
                }
            }
        }
    }
}
