// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick
import Tarnlight.Ui

// Stands in for a tab whose view is not part of this build.
EmptyStateView {
    objectName: "tabPlaceholder"
    title: qsTranslate("TarnTab", systemTitle)
    message: qsTr("This tab is not available in this build.")
    property string systemTitle
}
