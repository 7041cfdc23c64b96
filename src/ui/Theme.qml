// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

pragma Singleton
import QtQuick

// The text styles and colours the views name, mapped onto the system palette
// and font, so light and dark desktops both read well.
QtObject {
    readonly property SystemPalette palette: SystemPalette { colorGroup: SystemPalette.Active }
    readonly property bool dark: palette.window.hslLightness < 0.5

    readonly property color primary: palette.windowText
    readonly property color secondary: Qt.rgba(primary.r, primary.g, primary.b, 0.64)
    readonly property color tertiary: Qt.rgba(primary.r, primary.g, primary.b, 0.4)
    readonly property color accent: palette.highlight
    readonly property color accentText: palette.highlightedText
    readonly property color orange: dark ? "#ff9f0a" : "#c25e00"
    readonly property color red: dark ? "#ff6b61" : "#c9001a"
    readonly property color separator: Qt.rgba(primary.r, primary.g, primary.b, 0.15)
    // Made with the theme, so they live as long as the engine.
    readonly property Item keptStyleImages: KeptStyleImages {}

    // Qt Quick's application object has the font; qmllint only knows QtQml's.
    readonly property font body: Qt.application.font // qmllint disable type
    readonly property real baseSize: body.pointSize > 0 ? body.pointSize : 10
    readonly property font headline: Qt.font({ family: body.family, pointSize: baseSize, weight: Font.DemiBold })
    readonly property font subheadline: Qt.font({ family: body.family, pointSize: Math.round(baseSize * 0.9 * 2) / 2 })
    readonly property font caption: Qt.font({ family: body.family, pointSize: Math.round(baseSize * 0.82 * 2) / 2 })
    readonly property font caption2: Qt.font({ family: body.family, pointSize: Math.round(baseSize * 0.76 * 2) / 2 })

    // The platform's default margin around panels.
    readonly property int margin: 16

    function font(style, weight) {
        const f = style === "headline" ? headline : style === "subheadline" ? subheadline
                : style === "caption" ? caption : style === "caption2" ? caption2 : body
        return weight === undefined ? f : Qt.font({ family: f.family, pointSize: f.pointSize, weight: weight })
    }
}
