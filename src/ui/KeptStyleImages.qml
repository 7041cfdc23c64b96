// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick

// The style's indicator images (a menu item's check mark and arrow), held
// for the engine's life. The style tints each as it loads and lets the
// cached original go; Qt Quick's image cache would then wake the app 30 s
// later to drop it, after every opening of the popover. Held here, the
// original is never released, and no timer runs.
Item {
    visible: false

    Image {
        source: "qrc:/qt-project.org/imports/QtQuick/Controls/Fusion/images/checkmark.png"
    }
    Image {
        source: "qrc:/qt-project.org/imports/QtQuick/Controls/Fusion/images/arrow.png"
    }
}
