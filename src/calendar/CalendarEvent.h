// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Timestamps.h"

#include <QList>
#include <QMetaType>
#include <QUrl>

#include <algorithm>

// A guest of an event as the provider lists it; `self` marks the user.
struct CalendarAttendee
{
    Q_GADGET
    Q_PROPERTY(QString email MEMBER email)
    Q_PROPERTY(QString displayName MEMBER displayName)
    Q_PROPERTY(QString responseStatus MEMBER responseStatus)
    Q_PROPERTY(bool self MEMBER self)

public:
    QString email, displayName, responseStatus;
    bool self = false;

    friend bool operator==(const CalendarAttendee &, const CalendarAttendee &) = default;
};

// A file attached to an event (usually a Drive file).
struct CalendarAttachment
{
    Q_GADGET
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString fileUrl MEMBER fileUrl)
    Q_PROPERTY(QString mimeType MEMBER mimeType)
    Q_PROPERTY(QString iconLink MEMBER iconLink)

public:
    QString title, fileUrl, mimeType, iconLink;

    friend bool operator==(const CalendarAttachment &, const CalendarAttachment &) = default;
};

// Minutes before the start. Compared element by element: Qt 6.4's QList<int>
// comparison hands memcmp a null pointer when both lists are empty.
struct ReminderMinutes : QList<int>
{
    using QList<int>::QList;
    ReminderMinutes(const QList<int> &minutes) : QList<int>(minutes) {}
    friend bool operator==(const ReminderMinutes &a, const ReminderMinutes &b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
};

// One event of one of the user's calendars.
struct CalendarEvent
{
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString calendarId MEMBER calendarId)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QDateTime start READ startOrInvalid)
    Q_PROPERTY(QDateTime end READ endOrInvalid)
    Q_PROPERTY(bool isAllDay MEMBER isAllDay)
    Q_PROPERTY(QString location READ locationOrEmpty)
    Q_PROPERTY(int attendeeCount MEMBER attendeeCount)
    Q_PROPERTY(QString htmlLink READ htmlLinkOrEmpty)
    Q_PROPERTY(QString meetingLink MEMBER meetingLink)
    Q_PROPERTY(bool declined MEMBER declined)
    Q_PROPERTY(QString timeLabel READ timeLabel)

public:
    QString id;
    // The iCalendar id: the same for every guest's copy of a meeting (and for
    // every occurrence of a repeating one); empty when not given.
    QString iCalUID;
    // The calendar it was listed from ("primary" or a calendar's id).
    QString calendarId;
    QString title;
    Timestamp start, end;
    bool isAllDay = false;
    std::optional<QString> location, description;
    int attendeeCount = 0;
    std::optional<QString> htmlLink;
    // The https link of its video call; empty when it has none.
    QString meetingLink;
    // The user said no: no reminders, shown struck through.
    bool declined = false;
    // Minutes before the start of each popup reminder; with
    // remindersUseDefault they are the calendar's own defaults.
    bool remindersUseDefault = true;
    ReminderMinutes reminderMinutes;
    QList<CalendarAttendee> attendees;
    QList<CalendarAttachment> attachments;

    // Empty without a start, "All day" for all-day events, else the short time.
    QString timeLabel() const;

    QDateTime startOrInvalid() const { return start.value_or(QDateTime()); }
    QDateTime endOrInvalid() const { return end.value_or(QDateTime()); }
    QString locationOrEmpty() const { return location.value_or(QString()); }
    QString htmlLinkOrEmpty() const { return htmlLink.value_or(QString()); }
    // The event's page, opened in the given account's calendar (the browser
    // may be signed in to several); empty without a page.
    QUrl pageLink(const QString &accountEmail) const;
    // What every guest's copy of a meeting shares: the iCalendar id and the
    // start (occurrences of a repeating meeting share the id alone); empty
    // without an iCalendar id.
    QString sharedKey() const;

    friend bool operator==(const CalendarEvent &, const CalendarEvent &) = default;
};

size_t qHash(const CalendarEvent &event, size_t seed = 0);

Q_DECLARE_METATYPE(CalendarAttendee)
Q_DECLARE_METATYPE(CalendarAttachment)
Q_DECLARE_METATYPE(CalendarEvent)
