// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarViewModel.h"

#include "calendar/CalendarService.h"
#include "calendar/CalendarWindow.h"
#include "calendar/CalendarChoice.h"
#include "calendar/ChosenCalendars.h"
#include "calendar/DayLabel.h"
#include "oauth/AuthSession.h"
#include "support/ProviderLink.h"
#include "support/UrlOpener.h"

#include "core/Error.h"

#include <QMap>

namespace {

// Each calendar's events come cut at the agenda's length, in start order
// (an all-day event at the start of its day): a cut list holds every event
// that starts before its last timed one.
QDateTime wholeUntil(const QList<CalendarEvent> &events)
{
    if (events.size() < CalendarViewModel::MaxResults)
        return {};
    for (auto event = events.crbegin(); event != events.crend(); ++event)
        if (!event->isAllDay && event->start && event->start->isValid())
            return *event->start;
    return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
}

} // namespace

CalendarViewModel::CalendarViewModel(QObject *parent) : AccountBoundModel(parent, Reach::AllAccounts) {}

void CalendarViewModel::onAttached()
{
    // A new choice of calendars shows at once, over all accounts too.
    connect(&CalendarChoice::of(*auth()), &AccountChoice::idsChanged, this,
            &CalendarViewModel::reloadIfListing);
}

QCoro::Task<AccountBoundModel::Publish> CalendarViewModel::fetch(std::shared_ptr<rest::Authorizer> session,
                                                                 Account account)
{
    const QStringList ids = auth() ? CalendarChoice::of(*auth()).ids(account.id)
                                   : QStringList{CalendarChoice::Primary};
    const calendar::ChosenEvents chosen = co_await calendar::loadChosen(session, ids, WindowDays, MaxResults);
    QStringList notice;
    for (const QString &name : chosen.failed)
        notice.append(tr("Couldn't load %1.").arg(name));
    co_return [this, chosen, account, notice = notice.join(u'\n')] {
        // A list missing a calendar would drop that calendar's reminders.
        if (auth() && chosen.failed.isEmpty())
            emit CalendarChoice::of(*auth()).eventsLoaded(account.id, chosen.events,
                                                          wholeUntil(chosen.events));
        if (!listBinding().listsAll())
            return setEvents(chosen.events, chosen.calendars, notice);
        m_parts.insert(account.id, {chosen.events, chosen.calendars, notice});
        showMergedParts();
    };
}

void CalendarViewModel::clearRows()
{
    m_parts.clear();
    setEvents({}, {}, {});
}

void CalendarViewModel::showMergedParts()
{
    QList<CalendarEvent> events;
    QHash<QString, SharedRow> shared;
    QHash<QString, QString> shownAs; // shared key -> id of the row shown
    QStringList notices;
    for (const Account &account : listBinding().accounts()) {
        const auto part = m_parts.constFind(account.id);
        if (part == m_parts.cend())
            continue;
        if (!part->notice.isEmpty())
            notices.append(part->notice);
        for (const CalendarEvent &event : part->events) {
            const QString key = event.sharedKey();
            if (const auto shown = shownAs.constFind(key); !key.isEmpty() && shown != shownAs.cend()) {
                QList<Account> &dots = shared[*shown].accounts;
                if (!dots.contains(account))
                    dots.append(account);
                continue;
            }
            if (shared.contains(event.id))
                continue; // the row list keys rows by id
            const CalendarInfo *calendar = listedCalendar(part->calendars, event.calendarId);
            shared.insert(event.id, {calendar ? calendar->colour : QString(), {account}});
            if (!key.isEmpty())
                shownAs.insert(key, event.id);
            events.append(event);
        }
    }
    // By start; the same start keeps the accounts' order.
    events = calendar::mergedEvents(events, {});
    if (events.size() > MaxResults)
        events.resize(MaxResults);
    setEvents(events, {}, notices.join(u'\n'), shared);
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

void CalendarViewModel::openEvent(const CalendarEvent &event, const QString &accountId) const
{
    if (!event.htmlLink)
        return;
    QString email = listAccount() ? listAccount()->email : QString();
    if (auth())
        for (const Account &account : auth()->accounts())
            if (account.id == accountId)
                email = account.email;
    support::openProviderLink(event.pageLink(email));
}

void CalendarViewModel::joinMeeting(const CalendarEvent &event) const
{
    const QUrl link(event.meetingLink, QUrl::StrictMode);
    if (link.isValid() && link.scheme() == u"https" && !link.host().isEmpty())
        support::openUrl(link);
}

void CalendarViewModel::setEvents(const QList<CalendarEvent> &events, const QList<CalendarInfo> &calendars,
                                  const QString &notice, const QHash<QString, SharedRow> &shared)
{
    if (m_notice != notice) {
        m_notice = notice;
        emit noticeChanged();
    }
    if (m_events == events && m_calendars == calendars && m_shared == shared)
        return;
    m_events = events;
    m_calendars = calendars;
    m_shared = shared;
    QList<CalendarEventRow> rows;
    for (const CalendarDay &day : grouped()) {
        for (const CalendarEvent &event : day.events) {
            if (const auto row = m_shared.constFind(event.id); row != m_shared.cend()) {
                rows.append(CalendarEventRow{event, day.day.date(), row->colour, row->accounts});
                continue;
            }
            const CalendarInfo *calendar = listedCalendar(m_calendars, event.calendarId);
            rows.append(CalendarEventRow{event, day.day.date(), calendar ? calendar->colour : QString(), {}});
        }
    }
    m_eventRows.assign(rows);
    emit eventsChanged();
}
