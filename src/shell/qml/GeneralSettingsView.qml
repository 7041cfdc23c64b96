pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tarnlight.Ui
import Tarnlight.Shell

// The "General" tab: how often Tarnlight checks, whether it starts at login
// and whether it announces new mail. Every change is saved and used at once.
Item {
    id: view

    function refreshTitle(minutes) {
        if (minutes === 0)
            return qsTr("Off")
        return minutes === 1 ? qsTr("1 minute") : qsTr("%1 minutes").arg(minutes)
    }

    GridLayout {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: Theme.margin
        columns: 2
        columnSpacing: 12
        rowSpacing: 10

        Label {
            textFormat: Text.PlainText
            text: qsTr("Refresh every")
            Layout.alignment: Qt.AlignRight
            color: Theme.primary
        }
        ComboBox {
            id: refresh
            objectName: "refreshEvery"
            model: AppSettings.refreshChoices
            displayText: view.refreshTitle(AppSettings.refreshMinutes)
            // A list of numbers is a JS array here; qmllint does not know its methods.
            currentIndex: AppSettings.refreshChoices.indexOf(AppSettings.refreshMinutes) // qmllint disable type
            delegate: ItemDelegate {
                required property int modelData
                required property int index
                objectName: "refreshChoice:" + modelData
                width: refresh.width
                text: view.refreshTitle(modelData)
                highlighted: refresh.highlightedIndex === index
            }
            onActivated: index => AppSettings.refreshMinutes = AppSettings.refreshChoices[index]
        }
        Label {
            textFormat: Text.PlainText
            text: qsTr("Launch at login")
            Layout.alignment: Qt.AlignRight
            color: Theme.primary
        }
        Switch {
            objectName: "launchAtLogin"
            checked: AppSettings.launchAtLogin
            onToggled: AppSettings.launchAtLogin = checked
        }
        Label {
            textFormat: Text.PlainText
            text: qsTr("Notify about new mail")
            Layout.alignment: Qt.AlignRight
            color: Theme.primary
        }
        Switch {
            objectName: "notifyNewMail"
            checked: AppSettings.notifyNewMail
            onToggled: AppSettings.notifyNewMail = checked
        }
    }
}
