import QtQuick
import Tarnlight.Ui

// Stands in for a tab whose view is not part of this build.
EmptyStateView {
    objectName: "tabPlaceholder"
    title: qsTranslate("TarnTab", systemTitle)
    message: qsTr("This tab is not available in this build.")
    property string systemTitle
}
