// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma Singleton
import QtQuick

// Every symbol name the views use, mapped to a freedesktop icon name. Each
// also has a bundled SVG of our own, used where the desktop theme lacks it.
QtObject {
    readonly property var themeNames: ({
        "eye": "view-reveal-symbolic",
        "envelope": "mail-unread-symbolic",
        "folder": "folder-symbolic",
        "calendar": "x-office-calendar-symbolic",
        "arrow.clockwise": "view-refresh-symbolic",
        "gearshape": "emblem-system-symbolic",
        "person.crop.circle": "avatar-default-symbolic",
        "person.crop.circle.badge.plus": "contact-new-symbolic",
        "checkmark": "object-select-symbolic",
        "checkmark.circle": "emblem-ok-symbolic",
        "person.2": "system-users-symbolic",
        "plus": "list-add-symbolic",
        "exclamationmark.triangle": "dialog-warning-symbolic",
        "arrow.right.circle": "go-next-symbolic",
        "chevron.right": "go-next-symbolic",
        "mappin": "mark-location-symbolic",
        "doc": "text-x-generic-symbolic",
        "doc.text": "x-office-document-symbolic",
        "doc.richtext": "application-pdf-symbolic",
        "tablecells": "x-office-spreadsheet-symbolic",
        "rectangle.on.rectangle": "x-office-presentation-symbolic",
        "photo": "image-x-generic-symbolic",
        "film": "video-x-generic-symbolic",
        "sparkles": "starred-symbolic"
    })

    function themeName(symbol) {
        return themeNames[symbol] || ""
    }
    function fallback(symbol) {
        return themeNames[symbol] ? Qt.resolvedUrl("icons/" + symbol + ".svg") : ""
    }
}
