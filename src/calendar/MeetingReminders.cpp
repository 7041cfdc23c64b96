// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/MeetingReminders.h"

#include "accounts/GoogleAuthService.h"
#include "calendar/CalendarChoice.h"
#include "calendar/ChosenCalendars.h"
#include "core/Error.h"
#include "oauth/AuthSession.h"
#include "support/Connectivity.h"
#include "support/ProviderLink.h"
#include "support/UrlOpener.h"

#include <QPointer>
#include <QSet>
#include <QSettings>
#include <QUrl>

#include <algorithm>

namespace {

// Kept in the registry's settings store; an ISO date-time in UTC.
const QString HandledKey = QStringLiteral("tarnlight.reminders.handledUntil");
// Reminders can be set up to four weeks ahead, but two days of events keep
// the load small; the list is loaded again at least once a day.
constexpr int WindowDays = 2;
constexpr int MaxEvents = 250;
constexpr qint64 ReloadAfterMs = 24 * 3600 * 1000;
// A timer may fire a little before its time.
constexpr qint64 EarlyMs = 500;

bool hasEnded(const CalendarEvent &event, const QDateTime &now)
{
    const QDateTime end = event.end.value_or(event.start.value_or(QDateTime()));
    return !end.isValid() || end <= now;
}

QString keyOf(const CalendarEvent &event)
{
    return event.calendarId + u'/' + event.id;
}

// The agenda's events, and beyond the time its list is whole, the events of
// the reminders' own list.
QList<CalendarEvent> withOwnBeyond(QList<CalendarEvent> agenda, const QList<CalendarEvent> &own,
                                   const QDateTime &wholeUntil)
{
    if (!wholeUntil.isValid())
        return agenda;
    QSet<QString> taken;
    for (const CalendarEvent &event : std::as_const(agenda))
        taken.insert(keyOf(event));
    for (const CalendarEvent &event : own)
        if (event.start && *event.start >= wholeUntil && !taken.contains(keyOf(event)))
            agenda.append(event);
    return agenda;
}

QUrl meetingUrl(const CalendarEvent &event)
{
    const QUrl url(event.meetingLink, QUrl::StrictMode);
    return url.isValid() && url.scheme() == u"https" && !url.host().isEmpty() ? url : QUrl();
}

} // namespace

MeetingReminders::MeetingReminders(GoogleAuthService &registry, QObject *parent)
    : QObject(parent), m_registry(registry)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_loadedAt.isValid() && m_loadedAt.msecsTo(QDateTime::currentDateTimeUtc()) >= ReloadAfterMs)
            reload();
        else
            reschedule();
    });
    connect(&m_registry, &GoogleAuthService::accountsChanged, this, &MeetingReminders::reload);
    connect(&CalendarChoice::of(m_registry), &AccountChoice::idsChanged, this, &MeetingReminders::reload);
    connect(
        &CalendarChoice::of(m_registry), &CalendarChoice::eventsLoaded, this,
        [this](const QString &accountID, const QList<CalendarEvent> &events, const QDateTime &wholeUntil) {
            const QList<Account> &accounts = m_registry.accounts();
            const bool signedIn = std::any_of(accounts.cbegin(), accounts.cend(),
                                              [&](const Account &a) { return a.id == accountID; });
            // Before the first load of every account's events, one
            // account's list must not move "handled until" for all.
            if (!m_enabled || !signedIn || !m_loadedAt.isValid())
                return;
            m_events.insert(accountID, withOwnBeyond(events, m_events.value(accountID), wholeUntil));
            reschedule();
        });
    // What was due while the machine slept shows now.
    connect(&Connectivity::instance(), &Connectivity::resumed, this, &MeetingReminders::reload);
}

void MeetingReminders::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on)
        reload();
    else
        m_timer.stop();
}

void MeetingReminders::reload()
{
    if (!m_enabled)
        return;
    [](QPointer<MeetingReminders> self, int generation) -> QCoro::Task<void> {
        QHash<QString, QList<CalendarEvent>> events;
        const QList<Account> accounts = self->m_registry.accounts();
        for (const Account &account : accounts) {
            QList<CalendarEvent> loaded = co_await self->load(account);
            if (!self || self->m_generation != generation)
                co_return;
            events.insert(account.id, loaded);
        }
        // All accounts at once: a reminder counts as handled only once
        // every account's events were seen.
        self->m_events = events;
        self->m_loadedAt = QDateTime::currentDateTimeUtc();
        self->reschedule();
    }(this, ++m_generation);
}

QCoro::Task<QList<CalendarEvent>> MeetingReminders::load(Account account)
{
    try {
        // The choice is read before the wait: nothing of this object is used after it.
        const QStringList ids = CalendarChoice::of(m_registry).ids(account.id);
        const std::shared_ptr<rest::Authorizer> session = co_await m_registry.authSession(account);
        const calendar::ChosenEvents chosen = co_await calendar::loadChosen(session, ids, WindowDays,
                                                                            MaxEvents);
        co_return chosen.events;
    } catch (const Error &error) {
        qWarning("Reminders: the events of an account did not load: %s", qPrintable(error.description()));
    }
    co_return {};
}

QDateTime MeetingReminders::nextDue() const
{
    return m_timer.isActive() ? QDateTime::currentDateTimeUtc().addMSecs(m_timer.remainingTime())
                              : QDateTime();
}

QList<MeetingReminders::Due> MeetingReminders::reminders() const
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<Due> due;
    for (const Account &account : m_registry.accounts())
        for (const CalendarEvent &event : m_events.value(account.id)) {
            if (event.declined || event.isAllDay || !event.start || !event.start->isValid()
                || hasEnded(event, now))
                continue;
            for (int minutes : event.reminderMinutes)
                due.append({event.start->addSecs(-60LL * minutes), event, account.email});
        }
    return due;
}

void MeetingReminders::reschedule()
{
    m_timer.stop();
    if (!m_enabled)
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime handled = handledUntil();
    const QDateTime cutoff = now.addMSecs(EarlyMs);
    QSet<QString> shown;
    QSet<QString> known;
    QDateTime next = m_loadedAt.isValid() ? m_loadedAt.addMSecs(ReloadAfterMs) : QDateTime();
    for (const Due &due : reminders()) {
        const QString key = keyOf(due.event);
        known.insert(key);
        if (due.at > cutoff) {
            if (!next.isValid() || due.at < next)
                next = due.at;
        } else if (isUnshown(due, handled, now) && !shown.contains(key)) {
            // Several reminders of one event missed together show once.
            shown.insert(key);
            notify(due, now);
        }
    }
    setHandledUntil(cutoff);
    // Until every account's events were seen once, "new" means nothing: an
    // event seen first in the first load may have reminded in a past run.
    if (m_loadedAt.isValid())
        m_known = known;
    if (next.isValid())
        m_timer.start(std::clamp<qint64>(now.msecsTo(next), 0, ReloadAfterMs));
}

bool MeetingReminders::isUnshown(const Due &due, const QDateTime &handled, const QDateTime &now) const
{
    if (!handled.isValid() || due.at > handled)
        return true;
    // A meeting that appeared after its reminder time (invited late, or
    // added minutes ahead) still reminds once before it starts.
    return m_known && !m_known->contains(keyOf(due.event)) && *due.event.start > now;
}

QString MeetingReminders::bodyText(const CalendarEvent &event, int minutesAhead)
{
    // Two texts rather than a plural form: English shows without a catalogue.
    QString when = tr("Now");
    if (minutesAhead == 1)
        when = tr("In 1 minute");
    else if (minutesAhead > 1)
        when = tr("In %1 minutes").arg(minutesAhead);
    QString place = event.location.value_or(QString()).trimmed();
    if (place.isEmpty()) {
        const QUrl link = meetingUrl(event);
        if (link.host() == u"meet.google.com")
            place = tr("Google Meet");
        else if (link.isValid())
            place = link.host();
    }
    return place.isEmpty() ? when : when + QStringLiteral(" · ") + place;
}

void MeetingReminders::notify(const Due &due, const QDateTime &now)
{
    const CalendarEvent &event = due.event;
    const qint64 secondsAhead = now.secsTo(*event.start);
    DesktopNotice notice;
    notice.summary = event.title;
    notice.body = bodyText(event, int(std::max<qint64>(0, (secondsAhead + 30) / 60)));
    if (meetingUrl(event).isValid())
        notice.actions.append({JoinAction, tr("Join")});
    if (event.htmlLink)
        notice.actions.append({OpenAction, tr("Open in Calendar")});
    notice.actions.append({SnoozeAction, tr("Snooze 5 min")});
    notice.category = Category;
    QPointer<MeetingReminders> self(this);
    notice.onAction = [self, due](const QString &action) {
        if (self)
            self->act(due, action);
    };
    m_desktop.send(notice);
}

void MeetingReminders::act(const Due &due, const QString &action)
{
    if (action == JoinAction) {
        if (const QUrl link = meetingUrl(due.event); link.isValid())
            support::openUrl(link);
    } else if (action == OpenAction && due.event.htmlLink) {
        support::openProviderLink(due.event.pageLink(due.accountEmail));
    } else if (action == SnoozeAction) {
        QTimer::singleShot(m_snoozeLength, Qt::PreciseTimer, this, [this, due] {
            const QDateTime now = QDateTime::currentDateTimeUtc();
            if (m_enabled && !hasEnded(due.event, now))
                notify(due, now);
        });
    }
}

QDateTime MeetingReminders::handledUntil() const
{
    return QDateTime::fromString(m_registry.settingsStore().value(HandledKey).toString(), Qt::ISODateWithMs);
}

void MeetingReminders::setHandledUntil(const QDateTime &until)
{
    if (until > handledUntil())
        m_registry.settingsStore().setValue(HandledKey, until.toUTC().toString(Qt::ISODateWithMs));
}
