// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace support {

// Tarnlight's one name on the desktop: its desktop entry's id, its icon's
// name and its name on the session bus (which must match the entry for
// D-Bus activation and for notifications to find their app).
inline const QString AppId = QStringLiteral("app.tarnlight.Tarnlight");

} // namespace support
