// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Timestamps.h"

#include <QMetaType>

// One event of the primary calendar.
struct CalendarEvent
{
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QDateTime start READ startOrInvalid)
    Q_PROPERTY(bool isAllDay MEMBER isAllDay)
    Q_PROPERTY(QString location READ locationOrEmpty)
    Q_PROPERTY(int attendeeCount MEMBER attendeeCount)
    Q_PROPERTY(QString htmlLink READ htmlLinkOrEmpty)
    Q_PROPERTY(QString timeLabel READ timeLabel)

public:
    QString id;
    QString title;
    Timestamp start;
    bool isAllDay = false;
    std::optional<QString> location;
    int attendeeCount = 0;
    std::optional<QString> htmlLink;

    // Empty without a start, "All day" for all-day events, else the short time.
    QString timeLabel() const;

    QDateTime startOrInvalid() const { return start.value_or(QDateTime()); }
    QString locationOrEmpty() const { return location.value_or(QString()); }
    QString htmlLinkOrEmpty() const { return htmlLink.value_or(QString()); }

    friend bool operator==(const CalendarEvent &, const CalendarEvent &) = default;
};

size_t qHash(const CalendarEvent &event, size_t seed = 0);

Q_DECLARE_METATYPE(CalendarEvent)
