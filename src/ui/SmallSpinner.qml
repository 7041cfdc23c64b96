import QtQuick

// The small indeterminate progress indicator beside a status text.
Spinner {
    implicitWidth: 14
    implicitHeight: 14
    padding: 0
    running: visible
}
