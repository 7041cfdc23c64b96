// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

using Timestamp = std::optional<QDateTime>;

// `when` relative to `now`, past or future, in the current locale with
// abbreviated unit names ("2 hr. ago", "in 3 days"); empty when absent.
QString relativeLabel(const Timestamp &when, const QDateTime &now = QDateTime::currentDateTimeUtc());

// The time of day in the current locale's short style, in local time.
QString shortTimeLabel(const QDateTime &when);

// The current locale as ICU names it ("en_US_POSIX" for the C locale).
QByteArray icuLocaleID();

size_t qHashTimestamp(const Timestamp &when, size_t seed = 0);
