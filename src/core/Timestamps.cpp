// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Timestamps.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

namespace {

struct UnitStep
{
    double seconds;
    URelativeDateTimeUnit unit;
};

// Largest unit first: the label uses the largest unit that fits at least once.
constexpr UnitStep kSteps[] = {
    {365.0 * 86400, UDAT_REL_UNIT_YEAR}, {30.0 * 86400, UDAT_REL_UNIT_MONTH},
    {7.0 * 86400, UDAT_REL_UNIT_WEEK},   {86400, UDAT_REL_UNIT_DAY},
    {3600, UDAT_REL_UNIT_HOUR},          {60, UDAT_REL_UNIT_MINUTE},
};

const icu::RelativeDateTimeFormatter *formatter()
{
    // One formatter per thread: ICU formatters are not safe to share.
    thread_local std::unique_ptr<icu::RelativeDateTimeFormatter> cached;
    if (!cached) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale locale(icuLocaleID().constData());
        cached = std::make_unique<icu::RelativeDateTimeFormatter>(locale, nullptr, UDAT_STYLE_SHORT,
                                                                  UDISPCTX_CAPITALIZATION_NONE, status);
        if (U_FAILURE(status))
            cached.reset();
    }
    return cached.get();
}

} // namespace

QByteArray icuLocaleID()
{
    // ICU knows no "C" language: it would format with English words but
    // without English plural rules ("1 days ago").
    const QLocale locale;
    return locale.language() == QLocale::C ? QByteArrayLiteral("en_US_POSIX") : locale.name().toUtf8();
}

QString relativeLabel(const Timestamp &when, const QDateTime &now)
{
    if (!when || !when->isValid())
        return {};
    const double delta = double(now.secsTo(*when));
    UnitStep step{1, UDAT_REL_UNIT_SECOND};
    for (const UnitStep &candidate : kSteps) {
        if (std::abs(delta) >= candidate.seconds) {
            step = candidate;
            break;
        }
    }
    const double amount = std::trunc(delta / step.seconds);
    const auto *fmt = formatter();
    if (!fmt)
        return {};
    icu::UnicodeString text;
    UErrorCode status = U_ZERO_ERROR;
    // Under a minute either way (a fresh item, or a server clock slightly ahead) reads "now".
    if (std::abs(delta) < 60)
        fmt->format(UDAT_DIRECTION_PLAIN, UDAT_ABSOLUTE_NOW, text, status);
    else
        fmt->formatNumeric(amount, step.unit, text, status);
    if (U_FAILURE(status))
        return {};
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

QString shortTimeLabel(const QDateTime &when)
{
    // Some locales (C, POSIX) give seconds even in their short format; an
    // event's start never needs them.
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(QStringLiteral("[:.]ss?(?![a-zA-Z])")));
    return QLocale().toString(when.toLocalTime().time(), format);
}

size_t qHashTimestamp(const Timestamp &when, size_t seed)
{
    return when ? qHash(when->toMSecsSinceEpoch(), seed) : qHash(-1, seed);
}
