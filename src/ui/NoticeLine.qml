// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// One line above a list saying what of it could not be loaded; takes no
// space while there is nothing to say.
RowLayout {
    id: notice
    property string text

    visible: text !== ""
    spacing: 6

    SymbolIcon {
        symbol: "exclamationmark.triangle"
        size: 12
        color: Theme.orange
    }
    Label {
        objectName: "noticeText"
        Layout.fillWidth: true
        textFormat: Text.PlainText
        text: notice.text
        font: Theme.caption
        color: Theme.orange
        elide: Text.ElideRight
        maximumLineCount: 1
    }
}
