// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <optional>

// The popover's tabs, in picker order. The raw value is also the title.
enum class TarnTab {
    mail,
    drive,
    calendar
};

QList<TarnTab> allTarnTabs();
QString tarnTabTitle(TarnTab tab);       // "Mail", "Drive", "Calendar"
QString tarnTabSystemImage(TarnTab tab); // "envelope", "folder", "calendar"
// Exactly the three titles, case-sensitive; anything else gives nothing.
std::optional<TarnTab> tarnTabFromRawValue(const QString &raw);
