// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QString>

// The header of a day's section in the calendar tab: "Today", "Tomorrow",
// otherwise the day as "EEEE, MMM d" in the user's locale.
QString dayHeaderText(const QDate &day, const QDate &today);

// The day in the pattern "EEEE, MMM d" of the current locale.
QString weekdayMonthDay(const QDate &day);
