// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Accounts
import Tarnlight.Ui
import Tarnlight.Drive

// The Drive tab: the crumbs of the folder trail, the folder's items (files
// dropped on a folder row upload into it), and the running or failed uploads.
Item {
    id: root
    objectName: "driveTab"

    readonly property var loadState: drive.state
    readonly property int count: drive.items.count
    // Drive is browsed one account at a time: with all of them shown, the
    // tab asks which one.
    readonly property bool showsAll: GoogleAuthService.showsAllAccounts

    DriveViewModel {
        id: drive
    }

    // The header's refresh button and the refresh interval.
    function refresh() {
        if (!showsAll)
            drive.startRefresh()
    }
    // Loads when first shown, and again only after a refresh found no account.
    function start() {
        if (!showsAll)
            drive.start()
    }
    Component.onCompleted: start()
    onVisibleChanged: if (visible) start()
    onShowsAllChanged: start()

    ColumnLayout {
        objectName: "driveChooseAccount"
        anchors.centerIn: parent
        width: parent.width - 2 * Theme.margin
        visible: root.showsAll
        spacing: 8

        SymbolIcon {
            Layout.alignment: Qt.AlignHCenter
            symbol: "folder"
            size: 32
            color: Theme.secondary
        }
        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            textFormat: Text.PlainText
            text: qsTr("Choose an account to browse its Drive.")
            font: Theme.subheadline
            color: Theme.secondary
            wrapMode: Text.Wrap
        }
        Repeater {
            model: root.showsAll ? GoogleAuthService.accounts : []
            delegate: Button {
                id: accountButton
                required property var modelData
                objectName: "driveAccount:" + modelData.id
                Layout.alignment: Qt.AlignHCenter
                Layout.maximumWidth: root.width - 2 * Theme.margin
                leftPadding: 10
                rightPadding: 12
                onClicked: GoogleAuthService.setActive(accountButton.modelData)
                contentItem: RowLayout {
                    spacing: 6
                    AccountDot {
                        initials: accountButton.modelData.initials
                        colour: accountButton.modelData.colour
                    }
                    Label {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: accountButton.modelData.email
                        font: Theme.subheadline
                        color: Theme.primary
                        elide: Text.ElideRight
                    }
                }
            }
        }
    }

    ColumnLayout {
        anchors.fill: parent
        visible: !root.showsAll
        spacing: 0

        CrumbBar {
            Layout.fillWidth: true
            model: drive.path
            onChosen: (crumb) => drive.navigate(crumb)
        }
        Divider {}

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Spinner {
                objectName: "driveLoading"
                anchors.centerIn: parent
                visible: root.loadState.isLoading && root.count === 0
                running: visible
            }
            EmptyStateView {
                objectName: "driveEmpty"
                anchors.fill: parent
                visible: (root.loadState.isIdle || root.loadState.isLoaded) && root.count === 0
                systemImage: "folder"
                title: qsTr("Empty folder")
                message: qsTr("Drag files from your file manager onto a folder to upload.")
            }
            EmptyStateView {
                objectName: "driveError"
                anchors.fill: parent
                visible: root.loadState.isError
                systemImage: "exclamationmark.triangle"
                title: qsTr("Couldn't load Drive")
                message: root.loadState.message
            }
            ListView {
                objectName: "driveList"
                anchors.fill: parent
                visible: !root.loadState.isError && root.count > 0
                clip: true
                spacing: 0
                boundsBehavior: Flickable.StopAtBounds
                model: drive.items
                ScrollBar.vertical: ScrollBar {}

                delegate: DriveRow {
                    width: ListView.view.width
                    onTapped: drive.open(item)
                    onFilesDropped: (urls) => drive.upload(urls, item)
                }
            }
        }

        Divider {
            visible: strip.visible
        }
        UploadStrip {
            id: strip
            Layout.fillWidth: true
            visible: drive.activeUploads.count > 0
            model: drive.activeUploads
        }
    }
}
