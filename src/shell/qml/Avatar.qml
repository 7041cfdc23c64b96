// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import Tarnlight.Ui

// An account's initials, white in an accent-coloured circle; "?" when the
// account gives none.
Rectangle {
    property string initials

    implicitWidth: 20
    implicitHeight: 20
    radius: width / 2
    color: Theme.accent

    Label {
        textFormat: Text.PlainText
        objectName: "avatarInitials"
        anchors.centerIn: parent
        width: parent.width - 6
        horizontalAlignment: Text.AlignHCenter
        // Sized from the circle, so two wide letters keep clear of its edge.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 6
        text: parent.initials !== "" ? parent.initials : "?"
        font.pixelSize: Math.round(parent.height * 0.4)
        font.weight: Font.DemiBold
        color: "white"
    }
}
