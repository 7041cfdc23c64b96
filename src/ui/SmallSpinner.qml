// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

import QtQuick

// The small indeterminate progress indicator beside a status text.
Spinner {
    implicitWidth: 14
    implicitHeight: 14
    padding: 0
    running: visible
}
