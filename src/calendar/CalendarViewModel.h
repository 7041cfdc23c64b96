// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/AccountBoundModel.h"
#include "calendar/CalendarEventList.h"
#include "accounts/Account.h"
#include "calendar/CalendarEvent.h"
#include "calendar/CalendarService.h"
#include "core/RecordListModel.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QTimeZone>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

// One day of the calendar tab: the start of the day and its events, in the
// order they were listed.
struct CalendarDay
{
    QDateTime day;
    QList<CalendarEvent> events;

    friend bool operator==(const CalendarDay &, const CalendarDay &) = default;
};

// The state behind the calendar tab: the active account's events of the
// next two weeks and their grouping by day. A change of the active account
// reloads the events for the new one.
class CalendarViewModel : public AccountBoundModel
{
    Q_OBJECT
    QML_ELEMENT
    // The events day by day as rows, each with its day as its section.
    Q_PROPERTY(RecordListModelBase *events READ eventList CONSTANT)
    // "Couldn't load NAME." for each chosen calendar that failed, one a line.
    Q_PROPERTY(QString notice READ notice NOTIFY noticeChanged)

public:
    static constexpr int WindowDays = 14;
    static constexpr int MaxResults = 25;

    explicit CalendarViewModel(QObject *parent = nullptr);

    const QList<CalendarEvent> &events() const { return m_events; }
    RecordListModelBase *eventList() { return &m_eventRows; }
    QString notice() const { return m_notice; }

    // The events by day of the user's calendar, days ascending; an event
    // without a start belongs to today, an all-day event to its own date.
    QList<CalendarDay> grouped() const;
    static QList<CalendarDay> groupByDay(const QList<CalendarEvent> &events, const QDateTime &now,
                                         const QTimeZone &zone);

    // The header of a day's section ("yyyy-MM-dd"): "Today", "Tomorrow" or
    // the weekday and date.
    Q_INVOKABLE QString dayLabel(const QString &isoDay) const;

    // Opens the event's web link in the browser, in the calendar of the given
    // account (the listed one when empty); nothing without a usable link.
    Q_INVOKABLE void openEvent(const CalendarEvent &event, const QString &accountId = QString()) const;
    // Opens the event's video call in the browser; https links only.
    Q_INVOKABLE void joinMeeting(const CalendarEvent &event) const;

signals:
    void eventsChanged();
    void noticeChanged();

protected:
    // The upcoming events of the account's chosen calendars, each asked for
    // at the same time; fails only when every one of them does.
    QCoro::Task<Publish> fetch(std::shared_ptr<rest::Authorizer> session, Account account) override;
    void clearRows() override;
    void onAttached() override;
    QString cacheName() const override { return QStringLiteral("calendar"); }
    QJsonArray cachedRows() const override;
    void showCachedRows(const QJsonArray &rows) override;

private:
    // What a row of every account's events shows beyond the event.
    struct SharedRow
    {
        QString colour;
        QList<Account> accounts;
        friend bool operator==(const SharedRow &, const SharedRow &) = default;
    };
    // One account's part of every account's events.
    struct Part
    {
        QList<CalendarEvent> events;
        QList<CalendarInfo> calendars;
        QString notice;
    };

    // `shared` (by event id) is set when the rows are every account's.
    void setEvents(const QList<CalendarEvent> &events, const QList<CalendarInfo> &calendars,
                   const QString &notice, const QHash<QString, SharedRow> &shared = {});
    void showMergedParts();

    QList<CalendarEvent> m_events;
    QList<CalendarInfo> m_calendars;
    QHash<QString, SharedRow> m_shared;
    QHash<QString, Part> m_parts;
    QString m_notice;
    CalendarEventList m_eventRows;
};
