// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarWindow.h"

namespace calendar {

QTimeZone userTimeZone()
{
    const QTimeZone system = QTimeZone::systemTimeZone();
    return system.isValid() ? system : QTimeZone::utc();
}

std::optional<QDateTime> windowEnd(const QDateTime &now, int days, const QTimeZone &zone)
{
    if (!now.isValid() || !zone.isValid())
        return std::nullopt;
    const QDateTime local = now.toTimeZone(zone);
    const QDate day = local.date().addDays(days);
    if (!day.isValid())
        return std::nullopt;
    QDateTime end(day, local.time(), zone);
    if (!end.isValid()) {
        // The clock skips this time on that day (spring forward). Read it with
        // the offset in force before the change, as the clock would have
        // shown it: 02:30 becomes 03:30 of the new offset.
        const int offset = zone.offsetFromUtc(QDateTime(day.addDays(-1), local.time(), Qt::UTC));
        end = QDateTime(day, local.time(), Qt::OffsetFromUTC, offset).toTimeZone(zone);
    }
    if (!end.isValid())
        return std::nullopt;
    return end;
}

} // namespace calendar
