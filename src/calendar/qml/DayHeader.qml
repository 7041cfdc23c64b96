// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Tarnlight.Ui

// A day's header: "Today", "Tomorrow" or the weekday and date, on a bar
// that the events scroll under.
Rectangle {
    id: header
    objectName: "dayHeader"

    required property string section
    // Gives the header text for a day ("yyyy-MM-dd").
    property var labelFor

    readonly property string text: labelFor ? labelFor.dayLabel(section) : ""

    implicitHeight: label.implicitHeight + 8
    color: Qt.rgba(Theme.palette.window.r, Theme.palette.window.g, Theme.palette.window.b, 0.94)

    Label {
        textFormat: Text.PlainText
        id: label
        objectName: "dayHeaderText"
        x: 12
        width: parent.width - 24
        anchors.verticalCenter: parent.verticalCenter
        text: header.text
        font.family: Theme.caption.family
        font.pointSize: Theme.caption.pointSize
        font.weight: Font.DemiBold
        color: Theme.secondary
        elide: Text.ElideRight
    }
}
