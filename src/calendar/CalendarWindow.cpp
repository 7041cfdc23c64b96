#include "calendar/CalendarWindow.h"

namespace calendar {

std::optional<QDateTime> windowEnd(const QDateTime &now, int days, const QTimeZone &zone)
{
    if (!now.isValid() || !zone.isValid())
        return std::nullopt;
    const QDateTime end = now.toTimeZone(zone).addDays(days);
    if (!end.isValid())
        return std::nullopt;
    return end;
}

} // namespace calendar
