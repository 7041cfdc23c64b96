// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QTimeZone>

#include <optional>

namespace calendar {

// The user's time zone: the system's, or UTC when TZ names no zone this
// system knows (the clock then runs on UTC too).
QTimeZone userTimeZone();

// The end of the "next N days" window: the same wall-clock time `days`
// calendar days later in the given zone, so a daylight-saving change inside
// the window moves the instant by an hour rather than the clock time. None
// when the arithmetic yields no valid instant.
std::optional<QDateTime> windowEnd(const QDateTime &now, int days, const QTimeZone &zone = userTimeZone());

} // namespace calendar
