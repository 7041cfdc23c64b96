// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Tarnlight.Ui

// "About Tarnlight": the version, the licence and where the model runs.
Window {
    id: window
    // Handed to every window the app opens; this one does not need it.

    readonly property url projectPage: "https://tarnlight.app"
    readonly property url licencePage: "https://www.gnu.org/licenses/gpl-3.0.html"

    title: qsTr("About Tarnlight")
    width: 360
    height: column.implicitHeight + 2 * Theme.margin
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.palette.window

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: Theme.margin
        spacing: 8

        SymbolIcon {
            Layout.alignment: Qt.AlignHCenter
            symbol: "eye"
            size: 48
            color: Theme.accent
        }
        Label {
            objectName: "aboutName"
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Tarnlight %1").arg(Qt.application.version)
            textFormat: Text.PlainText
            font: Theme.headline
            color: Theme.primary
        }
        Label {
            objectName: "aboutLicence"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: qsTr("Free software under the GNU General Public License, version 3 or later.")
            textFormat: Text.PlainText
            font: Theme.caption
            color: Theme.secondary
        }
        Label {
            objectName: "aboutModel"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: qsTr("Summaries and replies come from a language model on this machine: your mail never leaves it.")
            textFormat: Text.PlainText
            font: Theme.caption
            color: Theme.secondary
        }
        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: 16
            LinkButton {
                objectName: "aboutProjectLink"
                text: qsTr("Website")
                onClicked: Qt.openUrlExternally(window.projectPage)
            }
            LinkButton {
                objectName: "aboutLicenceLink"
                text: qsTr("Licence")
                onClicked: Qt.openUrlExternally(window.licencePage)
            }
        }
    }
}
