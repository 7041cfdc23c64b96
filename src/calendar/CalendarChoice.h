// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/AccountChoice.h"
#include "calendar/CalendarEvent.h"

// The calendars whose events each account's agenda merges and reminds of;
// "primary" (the user's own calendar) until the user picks others. Kept under
// "tarnlight.calendars.<account id>".
class CalendarChoice : public AccountChoice
{
    Q_OBJECT

public:
    static inline const QString KeyPrefix = QStringLiteral("tarnlight.calendars.");
    static inline const QString Primary = QStringLiteral("primary");

    // The registry's choice; the app asks for it at start so that every
    // sign-out is followed.
    static CalendarChoice &of(GoogleAuthService &registry) { return ofKind<CalendarChoice>(registry); }

    // The calendars on the user's list, each with its colour; the primary
    // one answers to "primary" too.
    QCoro::Task<QList<ChoiceEntry>> entries(std::shared_ptr<rest::Authorizer> session) const override;

signals:
    // The agenda loaded all of an account's chosen calendars; the reminders
    // take the events instead of asking Google again, so a refresh reaches
    // both. A list cut at the agenda's length holds every event that starts
    // before `wholeUntil` (invalid: the list is whole).
    void eventsLoaded(const QString &accountID, const QList<CalendarEvent> &events,
                      const QDateTime &wholeUntil);

private:
    friend class AccountChoice;
    explicit CalendarChoice(GoogleAuthService &registry) : AccountChoice(registry, KeyPrefix, {Primary}) {}
};
