// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace rest {

// An RFC 3339 date-time as the APIs send it. Components are kept in UTC; an
// offset read from the text is remembered so the value prints back as it
// came. A value without a time of day is a date-only value (the APIs' "date"
// fields) and stands for 12:00 UTC of its day.
class DateTime
{
public:
    DateTime() = default;

    // A point in time, printed in UTC ("Z").
    static DateTime fromDate(const QDateTime &instant);
    // An unparseable text gives an invalid value (no date components).
    static DateTime fromRFC3339String(const QString &text);

    bool isValid() const { return m_year.has_value(); }
    bool hasTime() const { return m_hour.has_value() && m_minute.has_value(); }

    // The instant: components plus milliseconds, or noon UTC for a date-only
    // value. Invalid for an invalid value.
    QDateTime date() const;
    QString RFC3339String() const;
    QString stringValue() const { return RFC3339String(); }

    int milliseconds() const { return m_milliseconds; }
    std::optional<int> offsetMinutes() const { return m_offsetMinutes; }
    std::optional<int> year() const { return m_year; }
    std::optional<int> month() const { return m_month; }
    std::optional<int> day() const { return m_day; }
    std::optional<int> hour() const { return m_hour; }
    std::optional<int> minute() const { return m_minute; }
    std::optional<int> second() const { return m_second; }

    friend bool operator==(const DateTime &, const DateTime &) = default;

private:
    void setComponents(const QDateTime &utc, bool withTime);

    std::optional<int> m_year, m_month, m_day, m_hour, m_minute, m_second;
    int m_milliseconds = 0;
    std::optional<int> m_offsetMinutes;
};

} // namespace rest
