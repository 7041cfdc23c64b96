// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import QtQuick.Templates as T
import QtQuick.Controls.Fusion.impl

// The app's busy indicator: the Fusion ring, turned by an ordinary animation
// that ends the moment the spinner stops or goes away. The style's own
// render-thread animator is only stopped by the window's next frame, so in a
// popover hidden meanwhile it kept the app awake 60 times a second.
T.BusyIndicator {
    id: control

    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset,
                            implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight + topInset + bottomInset,
                             implicitContentHeight + topPadding + bottomPadding)
    padding: 6
    running: visible

    contentItem: BusyIndicatorImpl {
        implicitWidth: 28
        implicitHeight: 28
        color: control.palette.text
        running: control.running
        visible: control.running

        RotationAnimation on rotation {
            running: control.running
            from: 0
            to: 360
            duration: 1000
            loops: Animation.Infinite
        }
    }
}
