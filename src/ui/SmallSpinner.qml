import QtQuick
import QtQuick.Controls

// The small indeterminate progress indicator beside a status text.
BusyIndicator {
    implicitWidth: 14
    implicitHeight: 14
    padding: 0
    running: visible
}
