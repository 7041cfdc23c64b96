// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/DayLabel.h"

#include "calendar/CalendarWindow.h"

#include "core/Timestamps.h"

#include <QCoreApplication>
#include <QLocale>

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>

QString dayHeaderText(const QDate &day, const QDate &today)
{
    if (day == today)
        return QCoreApplication::translate("CalendarTabView", "Today");
    if (day == today.addDays(1))
        return QCoreApplication::translate("CalendarTabView", "Tomorrow");
    return weekdayMonthDay(day);
}

QString weekdayMonthDay(const QDate &day)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale(icuLocaleID().constData());
    icu::SimpleDateFormat format(icu::UnicodeString(u"EEEE, MMM d"), locale, status);
    if (U_FAILURE(status))
        return QLocale().toString(day, QStringLiteral("dddd, MMM d"));
    // Noon of the day in the user's zone (UTC when the system's is unknown), so
    // no zone offset moves it to another date.
    const QTimeZone zone = calendar::userTimeZone();
    const QByteArray zoneID = zone.id();
    format.adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zoneID.constData())));
    const QDateTime noon(day, QTime(12, 0), zone);
    icu::UnicodeString text;
    format.format(UDate(noon.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}
