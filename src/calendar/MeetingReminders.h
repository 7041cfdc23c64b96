// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"
#include "calendar/CalendarEvent.h"
#include "support/DesktopNotifications.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QObject>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>

class GoogleAuthService;

// Popup reminders of the signed-in accounts' chosen calendars as desktop
// notices. One single-shot timer waits for the next due reminder; nothing
// polls. Reminders up to a "handled until" time kept in the registry's
// settings store are done, so a reminder missed while the app was stopped or
// the machine slept shows once at the next start or wake, and never twice.
// Declined and ended events remind of nothing. Main thread only.
class MeetingReminders : public QObject
{
    Q_OBJECT

public:
    static inline const QString Category = QStringLiteral("x-tarnlight.reminder");
    static inline const QString JoinAction = QStringLiteral("join");
    static inline const QString OpenAction = QStringLiteral("open-in-calendar");
    static inline const QString SnoozeAction = QStringLiteral("snooze");

    explicit MeetingReminders(GoogleAuthService &registry, QObject *parent = nullptr);

    // Off stops the timer; on loads the events again.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // Loads every signed-in account's chosen events, then reschedules.
    void reload();
    void setSnoozeLength(std::chrono::milliseconds length) { m_snoozeLength = length; }
    // When the timer fires next; invalid while none is armed.
    QDateTime nextDue() const;

    // "In 10 minutes · Room Fjord", "Now · Google Meet", or only the time part.
    static QString bodyText(const CalendarEvent &event, int minutesAhead);

private:
    struct Due
    {
        QDateTime at;
        CalendarEvent event;
        QString accountEmail;
    };

    QCoro::Task<QList<CalendarEvent>> load(Account account);
    QList<Due> reminders() const;
    void reschedule();
    bool isUnshown(const Due &due, const QDateTime &handled, const QDateTime &now) const;
    void notify(const Due &due, const QDateTime &now);
    void act(const Due &due, const QString &action);
    QDateTime handledUntil() const;
    void setHandledUntil(const QDateTime &until);

    GoogleAuthService &m_registry;
    DesktopNotifications m_desktop;
    QTimer m_timer;
    QHash<QString, QList<CalendarEvent>> m_events; // by account id
    std::optional<QSet<QString>> m_known;          // events seen at the last schedule
    QDateTime m_loadedAt;
    std::chrono::milliseconds m_snoozeLength = std::chrono::minutes(5);
    bool m_enabled = true;
    int m_generation = 0;
};
