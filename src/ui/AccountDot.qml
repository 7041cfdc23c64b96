// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls

// Whose a row is while every account is shown: the account's initials, white
// in a circle of the account's own colour; "?" when it gives none.
Rectangle {
    id: dot
    property string initials
    property color colour: Theme.accent
    // The address, for the tooltip.
    property string email

    implicitWidth: 16
    implicitHeight: 16
    radius: width / 2
    color: colour
    // A hairline ring keeps the circle apart from a row of a similar shade.
    border.width: 1
    border.color: Qt.rgba(1, 1, 1, Theme.dark ? 0.35 : 0)

    Label {
        textFormat: Text.PlainText
        objectName: "accountDotInitials"
        anchors.centerIn: parent
        width: parent.width - 4
        horizontalAlignment: Text.AlignHCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 5
        text: dot.initials !== "" ? dot.initials : "?"
        font.pixelSize: Math.round(dot.height * 0.45)
        font.weight: Font.DemiBold
        color: "white"
    }

    HoverHandler { id: hover }
    ToolTip.visible: hover.hovered && dot.email !== ""
    ToolTip.text: dot.email
}
