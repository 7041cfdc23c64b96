// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/DateTime.h"

#include <QTimeZone>

#include <cmath>

namespace rest {

namespace {

// A strict left-to-right reader of the date-time text.
class Scanner
{
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    bool skip(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    // Up to `maxDigits` decimal digits; nullopt when there is none.
    std::optional<int> integer(int maxDigits = 9)
    {
        int value = 0, count = 0;
        while (!atEnd() && peek().isDigit() && peek().unicode() < 128 && count < maxDigits) {
            value = value * 10 + (peek().unicode() - '0');
            ++m_pos;
            ++count;
        }
        if (count == 0 || (!atEnd() && peek().isDigit()))
            return std::nullopt;
        return value;
    }
    QStringView digits()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && peek().unicode() >= '0' && peek().unicode() <= '9')
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// Milliseconds of a fraction's digits, rounded half away from zero.
int fractionMilliseconds(QStringView digits)
{
    int ms = 0;
    for (int i = 0; i < 3; ++i)
        ms = ms * 10 + (i < digits.size() ? digits[i].unicode() - '0' : 0);
    if (digits.size() > 3 && digits[3].unicode() >= '5')
        ++ms;
    return ms;
}

struct ParsedTime
{
    int hour, minute, second, milliseconds;
    std::optional<int> offsetMinutes;
};

std::optional<int> parseZone(Scanner &s, bool *ok)
{
    *ok = true;
    if (s.atEnd())
        return std::nullopt;
    if (s.skip(u'Z') || s.skip(u'z'))
        return std::nullopt;
    const QChar sign = s.peek();
    if (!s.skip(u'+') && !s.skip(u'-')) {
        *ok = false;
        return std::nullopt;
    }
    const auto hours = s.integer(2);
    s.skip(u':');
    const auto minutes = s.integer(2);
    if (!hours || !minutes || *hours > 23 || *minutes > 59) {
        *ok = false;
        return std::nullopt;
    }
    const int total = *hours * 60 + *minutes;
    return sign == u'-' ? -total : total;
}

std::optional<ParsedTime> parseTime(Scanner &s)
{
    ParsedTime t{};
    const auto hour = s.integer(2);
    if (!hour || !s.skip(u':'))
        return std::nullopt;
    const auto minute = s.integer(2);
    if (!minute || !s.skip(u':'))
        return std::nullopt;
    const auto second = s.integer(2);
    if (!second)
        return std::nullopt;
    t.milliseconds = 0;
    if (s.skip(u'.')) {
        const QStringView fraction = s.digits();
        if (fraction.isEmpty())
            return std::nullopt;
        t.milliseconds = fractionMilliseconds(fraction);
    }
    bool zoneOk = false;
    t.offsetMinutes = parseZone(s, &zoneOk);
    if (!zoneOk || !s.atEnd() || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    t.hour = *hour;
    t.minute = *minute;
    t.second = *second;
    return t;
}

} // namespace

DateTime DateTime::fromDate(const QDateTime &instant)
{
    DateTime value;
    if (instant.isValid())
        value.setComponents(instant.toUTC(), true);
    return value;
}

DateTime DateTime::fromRFC3339String(const QString &text)
{
    Scanner s(QStringView(text).trimmed());
    const auto year = s.integer(4);
    if (!year || !s.skip(u'-'))
        return {};
    while (s.skip(u'-')) {}
    const auto month = s.integer(2);
    if (!month || !s.skip(u'-'))
        return {};
    const auto day = s.integer(2);
    if (!day)
        return {};
    const QDate calendarDay(*year, *month, *day);
    if (!calendarDay.isValid() || *year < 1)
        return {};
    const QDateTime midnight(calendarDay, QTime(0, 0), Qt::UTC);
    DateTime value;
    if (s.atEnd()) {
        value.setComponents(midnight, false);
        return value;
    }
    if (!s.skip(u'T') && !s.skip(u't') && !s.skip(u' '))
        return {};
    const auto time = parseTime(s);
    if (!time)
        return {};
    const qint64 sinceMidnight = ((time->hour * 60LL + time->minute) * 60 + time->second) * 1000
                                 + time->milliseconds;
    // A leap second or a rounded-up fraction carries into the next minute; a
    // text that carries past the year 9999 as written could not be printed
    // back in four digits, so it is not accepted.
    const QDateTime asWritten = midnight.addMSecs(sinceMidnight);
    if (asWritten.date().year() > 9999)
        return {};
    const qint64 offsetMs = time->offsetMinutes.value_or(0) * 60000LL;
    value.setComponents(asWritten.addMSecs(-offsetMs), true);
    value.m_offsetMinutes = time->offsetMinutes;
    return value;
}

void DateTime::setComponents(const QDateTime &utc, bool withTime)
{
    const QDate d = utc.date();
    m_year = d.year();
    m_month = d.month();
    m_day = d.day();
    if (withTime) {
        const QTime t = utc.time();
        m_hour = t.hour();
        m_minute = t.minute();
        m_second = t.second();
        m_milliseconds = t.msec();
    }
}

QDateTime DateTime::date() const
{
    if (!isValid())
        return {};
    const QDate day(*m_year, m_month.value_or(1), m_day.value_or(1));
    if (!hasTime())
        return QDateTime(day, QTime(12, 0), Qt::UTC);
    return QDateTime(day, QTime(*m_hour, *m_minute, m_second.value_or(0), m_milliseconds), Qt::UTC);
}

QString DateTime::RFC3339String() const
{
    if (!isValid())
        return {};
    if (!hasTime())
        return QString::asprintf("%04d-%02d-%02d", *m_year, m_month.value_or(1), m_day.value_or(1));
    const int offset = m_offsetMinutes.value_or(0);
    const QDateTime shown = date().addSecs(offset * 60LL);
    const QDate d = shown.date();
    const QTime t = shown.time();
    QString zone = QStringLiteral("Z");
    if (m_offsetMinutes) {
        const int magnitude = std::abs(offset);
        zone = QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    }
    const QString fraction = t.msec() >= 1 ? QString::asprintf(".%03d", t.msec()) : QString();
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(), d.day(), t.hour(),
                             t.minute(), t.second())
           + fraction + zone;
}

} // namespace rest
