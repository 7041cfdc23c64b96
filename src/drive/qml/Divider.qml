import QtQuick
import QtQuick.Layouts
import Tarnlight.Ui

// A full-width hairline between the tab's parts.
Rectangle {
    Layout.fillWidth: true
    implicitHeight: 1
    color: Theme.separator
}
