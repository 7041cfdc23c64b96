// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarViewModel.h"

#include "calendar/CalendarService.h"
#include "calendar/CalendarWindow.h"
#include "calendar/DayLabel.h"
#include "oauth/AuthSession.h"
#include "support/ProviderLink.h"

#include <QMap>

CalendarViewModel::CalendarViewModel(QObject *parent) : QObject(parent) {}

CalendarViewModel::~CalendarViewModel() = default;

void CalendarViewModel::attach(GoogleAuthService *auth)
{
    if (m_auth || !auth)
        return;
    m_auth = auth;
    connect(auth, &GoogleAuthService::activeAccountChanged, this, &CalendarViewModel::onActiveAccountChanged);
}

void CalendarViewModel::onActiveAccountChanged()
{
    // Only a tab that has loaded reloads; a fresh one loads when first shown.
    const auto active = m_auth ? m_auth->activeAccount() : std::nullopt;
    const QString activeID = active ? active->id : QString();
    const QString listID = listAccount() ? listAccount()->id : QString();
    if (m_loadGeneration > 0 && activeID != listID)
        refresh();
}

QCoro::Task<void> CalendarViewModel::refresh()
{
    const quint64 generation = ++m_loadGeneration;
    const auto account = m_auth ? m_auth->activeAccount() : std::nullopt;
    // Another account's events are not shown while the new one's are loading.
    if (m_listAccount.bind(account))
        setEvents({});
    if (!account) {
        setState(LoadState::idle());
        setEvents({});
        co_return;
    }
    QPointer<CalendarViewModel> self(this);
    const auto current = [&] { return self && generation == m_loadGeneration; };
    setState(LoadState::loading());
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await m_auth->authSession(*account);
        if (!current())
            co_return;
        const auto upcoming = co_await CalendarService::upcoming(session, WindowDays, MaxResults);
        if (!current())
            co_return;
        setEvents(upcoming);
        setState(LoadState::loaded());
    } catch (const Error &error) {
        // The earlier events stay; the tab shows the error instead of them.
        if (current())
            setState(LoadState::error(error.description()));
    }
}

void CalendarViewModel::startRefresh()
{
    refresh();
}

QList<CalendarDay> CalendarViewModel::grouped() const
{
    return groupByDay(m_events, QDateTime::currentDateTime(), calendar::userTimeZone());
}

namespace {

// An all-day event belongs to its own date wherever the user is: its start
// stands for noon UTC of that date, which is the next day east of UTC+12.
QDateTime dayOf(const CalendarEvent &event, const QTimeZone &zone, const QDateTime &today)
{
    if (!event.start || !event.start->isValid())
        return today;
    if (event.isAllDay)
        return event.start->toUTC().date().startOfDay(zone);
    return event.start->toTimeZone(zone).date().startOfDay(zone);
}

} // namespace

QList<CalendarDay> CalendarViewModel::groupByDay(const QList<CalendarEvent> &events, const QDateTime &now,
                                                 const QTimeZone &zone)
{
    const QDateTime today = now.toTimeZone(zone).date().startOfDay(zone);
    QMap<QDateTime, QList<CalendarEvent>> byDay; // ordered by instant
    for (const auto &event : events)
        byDay[dayOf(event, zone, today)].append(event);
    QList<CalendarDay> days;
    days.reserve(byDay.size());
    for (auto it = byDay.cbegin(); it != byDay.cend(); ++it)
        days.append(CalendarDay{it.key(), it.value()});
    return days;
}

QString CalendarViewModel::dayLabel(const QString &isoDay) const
{
    const QDate today = QDateTime::currentDateTime().toTimeZone(calendar::userTimeZone()).date();
    return dayHeaderText(QDate::fromString(isoDay, Qt::ISODate), today);
}

void CalendarViewModel::openEvent(const CalendarEvent &event) const
{
    if (!event.htmlLink)
        return;
    support::openProviderLink(QUrl(*event.htmlLink, QUrl::StrictMode));
}

void CalendarViewModel::setState(const LoadState &state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void CalendarViewModel::setEvents(const QList<CalendarEvent> &events)
{
    if (m_events == events)
        return;
    m_events = events;
    QList<CalendarEventRow> rows;
    for (const CalendarDay &day : grouped()) {
        for (const CalendarEvent &event : day.events)
            rows.append(CalendarEventRow{event, day.day.date()});
    }
    m_eventRows.assign(rows);
    emit eventsChanged();
}
