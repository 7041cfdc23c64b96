#pragma once

#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "shell/records/Account.h"
#include "shell/records/CalendarEvent.h"
#include "shell/records/LoadState.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimeZone>
#include <QVariantList>

#include <qcoro/qcorotask.h>



// One day of the calendar tab: the start of the day and its events, in the
// order they were listed.
struct CalendarDay
{
    Q_GADGET
    Q_PROPERTY(QDateTime day MEMBER day)
    Q_PROPERTY(QVariantList events READ eventsForViews)

public:
    QDateTime day;
    QList<CalendarEvent> events;

    QVariantList eventsForViews() const;
    friend bool operator==(const CalendarDay &, const CalendarDay &) = default;
};

Q_DECLARE_METATYPE(CalendarDay)

// The state behind the calendar tab: the active account's events of the
// next two weeks and their grouping by day. A change of the active account
// reloads the events for the new one.
class CalendarViewModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(LoadState state READ state NOTIFY stateChanged)
    Q_PROPERTY(QVariantList events READ eventsForViews NOTIFY eventsChanged)
    Q_PROPERTY(QVariantList grouped READ groupedForViews NOTIFY eventsChanged)

public:
    static constexpr int WindowDays = 14;
    static constexpr int MaxResults = 25;

    explicit CalendarViewModel(QObject *parent = nullptr);
    ~CalendarViewModel() override;

    // Hands over the app's account registry (not owned); a model that has
    // one keeps it.
    Q_INVOKABLE void attach(GoogleAuthService *auth);
    GoogleAuthService *auth() const { return m_auth; }
    // The account the events were last loaded for (or are being loaded for).
    const std::optional<Account> &listAccount() const { return m_list.account(); }

    const LoadState &state() const { return m_state; }
    const QList<CalendarEvent> &events() const { return m_events; }

    // Loads the upcoming events; never throws, every failure ends in `state`.
    // A load overtaken by a later one publishes nothing.
    QCoro::Task<void> refresh();
    Q_INVOKABLE void startRefresh();

    // The events by day of the user's calendar, days ascending; an event
    // without a start belongs to today.
    QList<CalendarDay> grouped() const;
    static QList<CalendarDay> groupByDay(const QList<CalendarEvent> &events, const QDateTime &now,
                                         const QTimeZone &zone);

    // Opens the event's web link in the browser; nothing without a usable one.
    Q_INVOKABLE void openEvent(const CalendarEvent &event) const;

signals:
    void stateChanged();
    void eventsChanged();

private:
    void onActiveAccountChanged();
    void setState(const LoadState &state);
    void setEvents(const QList<CalendarEvent> &events);
    QVariantList eventsForViews() const;
    QVariantList groupedForViews() const;

    LoadState m_state;
    QList<CalendarEvent> m_events;
    QPointer<GoogleAuthService> m_auth;
    ListAccount m_list;
    // Counts started loads; only the latest one publishes.
    quint64 m_loadGeneration = 0;
};
