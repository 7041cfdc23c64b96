import QtQuick
import QtQuick.Layouts
import Tarnlight.Ui

// A hairline across the popover between its rows.
Rectangle {
    Layout.fillWidth: true
    implicitHeight: 1
    color: Theme.separator
}
