// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The calendar view model against the sandbox provider, with sessions in a
// private Secret Service (run under scripts/with-keyring), and its grouping
// by day with a fixed clock and zone.

#include "ViewModelSupport.h"
#include "calendar/CalendarChoice.h"
#include "calendar/CalendarEventList.h"
#include "calendar/CalendarViewModel.h"
#include "calendar/CalendarWindow.h"

#include <QSignalSpy>
#include <QUrlQuery>

using vmtest::requestsTo;

namespace {

const QString CalendarPath = QStringLiteral("/calendar/v3/calendars/");
constexpr int Slow = 15000;

CalendarEvent eventAt(const QString &id, const Timestamp &start)
{
    CalendarEvent e;
    e.id = id;
    e.title = id;
    e.start = start;
    return e;
}

QStringList idsOf(const QList<CalendarEvent> &events)
{
    QStringList ids;
    for (const CalendarEvent &e : events)
        ids.append(e.id);
    return ids;
}

// Sets TZ for the life of the value, as the user's session would.
class ZoneOfTheSession
{
public:
    explicit ZoneOfTheSession(const QByteArray &tz) : m_saved(qgetenv("TZ")) { set(tz); }
    ~ZoneOfTheSession() { set(m_saved); }
    void set(const QByteArray &tz)
    {
        if (tz.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", tz);
        tzset();
    }

private:
    QByteArray m_saved;
};

} // namespace

class CalendarViewModelTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    void load(CalendarViewModel &model)
    {
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::loaded());
        QCOMPARE(model.events().size(), CalendarViewModel::MaxResults);
    }

private slots:
    void initTestCase() { TL_START_KEYRING_PROVIDER(m_sandbox); }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}})); }

    void refreshWithoutActiveAccountGoesIdleAndSendsNothing()
    {
        const vmtest::WithoutActiveAccount without(m_alex);
        for (GoogleAuthService *registry : without.registries()) {
            CalendarViewModel model;
            model.attach(registry);
            QSignalSpy stateSpy(&model, &CalendarViewModel::stateChanged);
            QVERIFY(runTask(model.refresh()).finished);
            QCOMPARE(model.state(), LoadState::idle());
            QVERIFY(model.events().isEmpty());
            QVERIFY(model.grouped().isEmpty());
            QCOMPARE(stateSpy.count(), 0);
        }

        // A loaded model whose account was signed out empties its list.
        vmtest::Registry registry({m_alex}, m_alex.id);
        CalendarViewModel model;
        model.attach(registry.get());
        load(model);
        m_sandbox->clearLog();
        registry.get()->signOut(m_alex);
        QVERIFY(runTask(model.refresh()).finished);
        QCOMPARE(model.state(), LoadState::idle());
        QVERIFY(model.events().isEmpty());
        QVERIFY(requestsTo(*m_sandbox, CalendarPath).isEmpty());
    }

    void loadsTwoWeeksAndNotifiesOnlyChanges()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        CalendarViewModel model;
        model.attach(registry.get());
        QSignalSpy stateSpy(&model, &CalendarViewModel::stateChanged);
        QSignalSpy eventsSpy(&model, &CalendarViewModel::eventsChanged);

        // The second refresh finds the model loading already: no notification.
        // It overtakes the first, which stops before its request.
        model.startRefresh();
        model.startRefresh();
        QCOMPARE(model.state(), LoadState::loading());
        QCOMPARE(stateSpy.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
        QCOMPARE(requestsTo(*m_sandbox, CalendarPath).size(), 1);
        QCOMPARE(model.events().size(), CalendarViewModel::MaxResults);
        QCOMPARE(eventsSpy.count(), 1);
        const QUrlQuery query(requestsTo(*m_sandbox, CalendarPath).at(0)["query"].toString());
        QCOMPARE(query.queryItemValue("maxResults"), QStringLiteral("25"));

        // Days ascending; within a day the model's order; the event without
        // a start belongs to today.
        const QList<CalendarDay> days = model.grouped();
        QVERIFY(days.size() >= 2);
        const QDateTime today = QDate::currentDate().startOfDay();
        QCOMPARE(days.first().day, today);
        QVERIFY(idsOf(days.first().events).contains("nostart0001"));
        QStringList flattened;
        for (int i = 0; i < days.size(); ++i) {
            if (i > 0)
                QVERIFY(days.at(i - 1).day < days.at(i).day);
            QCOMPARE(days.at(i).day.time(), QTime(0, 0));
            flattened += idsOf(days.at(i).events);
        }
        QCOMPARE(flattened, idsOf(model.events()));
    }

    void failuresKeepTheEventsUnderTheError()
    {
        // Listed, but without a saved session.
        const Account lost = vmtest::account(QStringLiteral("lost"));
        vmtest::Registry registry({m_alex, lost}, m_alex.id);
        CalendarViewModel model;
        model.attach(registry.get());
        load(model);
        const auto listed = model.events();
        QSignalSpy eventsSpy(&model, &CalendarViewModel::eventsChanged);

        m_sandbox->injectFault({{"route", "GET /calendar/v3/calendars/primary/events"}, {"status", 500}});
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QVERIFY(model.state().isError());
        QVERIFY(!model.state().message.isEmpty());
        QCOMPARE(model.events(), listed);

        QCOMPARE(eventsSpy.count(), 0);

        // Another account's rows are not offered once it is active.
        registry.get()->setActive(lost);
        m_sandbox->clearLog();
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::error("No saved session for this account. Sign in again."));
        QVERIFY(model.events().isEmpty());
        QVERIFY(requestsTo(*m_sandbox, CalendarPath).isEmpty());
    }

    void emptyCalendarLoadsEmpty()
    {
        const Account sam = vmtest::account(QStringLiteral("sam"));
        QVERIFY(vmtest::saveSession(*m_sandbox, sam, Sandbox::EmptySub));
        vmtest::Registry registry({sam}, sam.id);
        CalendarViewModel model;
        model.attach(registry.get());
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::loaded());
        QVERIFY(model.events().isEmpty());
        QVERIFY(model.grouped().isEmpty());
        vmtest::removeSession(sam);
    }

    void groupsByDayOfTheZone()
    {
        const QTimeZone berlin("Europe/Berlin");
        const QDateTime now(QDate(2026, 12, 7), QTime(8, 0), berlin);
        const QDate today = now.date();
        const QList<CalendarEvent> events{
            eventAt("today-09", QDateTime(today, QTime(9, 0), berlin)),
            eventAt("no-start", std::nullopt),
            eventAt("today-15", QDateTime(today, QTime(15, 0), berlin)),
            eventAt("tomorrow-10", QDateTime(today.addDays(1), QTime(10, 0), berlin)),
            // 23:30 UTC is already the next day in Berlin.
            eventAt("late-utc", QDateTime(today, QTime(23, 30), Qt::UTC)),
        };
        const QList<CalendarDay> days = CalendarViewModel::groupByDay(events, now, berlin);
        QCOMPARE(days.size(), 2);
        QCOMPARE(days.at(0).day, today.startOfDay(berlin));
        QCOMPARE(idsOf(days.at(0).events), QStringList({"today-09", "no-start", "today-15"}));
        QCOMPARE(days.at(1).day, today.addDays(1).startOfDay(berlin));
        QCOMPARE(idsOf(days.at(1).events), QStringList({"tomorrow-10", "late-utc"}));

        // Today is the day of the zone, not of UTC: at 00:30 Berlin time
        // (still yesterday in UTC) a start-less event is today's.
        const QDateTime justAfterMidnight(today, QTime(0, 30), berlin);
        const auto early = CalendarViewModel::groupByDay({eventAt("no-start", std::nullopt)},
                                                         justAfterMidnight, berlin);
        QCOMPARE(early.size(), 1);
        QCOMPARE(early.at(0).day, today.startOfDay(berlin));
        QVERIFY(CalendarViewModel::groupByDay({}, now, berlin).isEmpty());
    }

    // An all-day event on 5 March stands for noon UTC, which is already
    // 6 March in Auckland: it still belongs to 5 March there, while a timed
    // event at that instant belongs to the 6th.
    void allDayEventsKeepTheirDateInEveryZone()
    {
        const QDate fifth(2026, 3, 5);
        CalendarEvent allDay = eventAt("all-day", QDateTime(fifth, QTime(12, 0), Qt::UTC));
        allDay.isAllDay = true;
        const CalendarEvent timed = eventAt("timed", QDateTime(fifth, QTime(12, 0), Qt::UTC));
        const QList<QPair<QByteArray, QDate>> zones{{"Pacific/Auckland", fifth.addDays(1)},
                                                    {"Pacific/Kiritimati", fifth.addDays(1)},
                                                    {"Pacific/Honolulu", fifth},
                                                    {"UTC", fifth}};
        for (const auto &[name, timedDate] : zones) {
            const QTimeZone zone(name);
            QVERIFY(zone.isValid());
            const QDateTime now(fifth.addDays(-1), QTime(9, 0), zone);
            const QList<CalendarDay> days = CalendarViewModel::groupByDay({allDay, timed}, now, zone);
            QCOMPARE(days.first().day, fifth.startOfDay(zone));
            QCOMPARE(days.first().events.first().id, QStringLiteral("all-day"));
            QCOMPARE(days.last().day, timedDate.startOfDay(zone));
            QCOMPARE(days.last().events.last().id, QStringLiteral("timed"));
            QCOMPARE(days.size(), timedDate == fifth ? 1 : 2);
        }
    }

    // The sandbox's events as users in Auckland and Honolulu see them.
    void allDayEventsOfTheCalendarKeepTheirDate()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        CalendarViewModel model;
        model.attach(registry.get());
        load(model);
        for (const QByteArray zone : {"Pacific/Auckland", "Pacific/Honolulu"}) {
            const ZoneOfTheSession session(zone);
            int allDay = 0;
            for (const CalendarDay &day : model.grouped()) {
                QCOMPARE(day.day.timeZone(), QTimeZone(zone));
                for (const CalendarEvent &event : day.events) {
                    if (event.isAllDay && ++allDay)
                        QCOMPARE(day.day.date(), event.start->toUTC().date());
                }
            }
            QVERIFY(allDay > 0);
        }
    }

    // TZ naming no zone: days and the window are those of UTC.
    void unknownZoneFallsBackToUtc()
    {
        const ZoneOfTheSession session("Nowhere/Unknown");
        QVERIFY(!QTimeZone::systemTimeZone().isValid());
        QCOMPARE(calendar::userTimeZone().id(), QTimeZone::utc().id());
        vmtest::Registry registry({m_alex}, m_alex.id);
        CalendarViewModel model;
        model.attach(registry.get());
        load(model);
        const QUrlQuery query(requestsTo(*m_sandbox, CalendarPath).at(0)["query"].toString());
        const QDateTime timeMax = QDateTime::fromString(query.queryItemValue("timeMax", QUrl::FullyDecoded),
                                                        Qt::ISODateWithMs);
        QVERIFY(timeMax.isValid());
        QVERIFY(qAbs(QDateTime::currentDateTimeUtc().addDays(CalendarViewModel::WindowDays).secsTo(timeMax))
                < 60);

        const QList<CalendarDay> days = model.grouped();
        QVERIFY(days.size() > 1);
        for (const CalendarDay &day : days)
            QCOMPARE(day.day, day.day.date().startOfDay(QTimeZone::utc()));
    }

    // Alex's reload is overtaken by Mira's after a switch and answers last:
    // its 25 events are dropped. Meanwhile Alex's events are not offered.
    void switchReloadsAndDropsThePreviousAccountsLateAnswer()
    {
        const Account mira = vmtest::account(QStringLiteral("mira"));
        QVERIFY(vmtest::saveSession(*m_sandbox, mira, Sandbox::MiraSub));
        vmtest::Registry registry({m_alex, mira}, m_alex.id);
        CalendarViewModel model;
        model.attach(registry.get());
        load(model);
        m_sandbox->clearLog();
        vmtest::holdNextRequest(*m_sandbox, "GET /calendar/v3/calendars/primary/events", 2000);
        model.startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(vmtest::heldRequestsArrived(*m_sandbox), Slow);

        registry.get()->setActive(mira);
        QCOMPARE(model.state(), LoadState::loading());
        QVERIFY(model.events().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
        const auto miraEvents = model.events();
        QVERIFY(!miraEvents.isEmpty() && miraEvents.size() < CalendarViewModel::MaxResults);
        QCOMPARE(model.listAccount(), mira);

        QTRY_COMPARE_WITH_TIMEOUT(requestsTo(*m_sandbox, CalendarPath).size(), 2, Slow);
        QTest::qWait(300); // Alex's answer reaches the model, which shows no sign of dropping it
        QCOMPARE(model.events(), miraEvents);
        QCOMPARE(model.state(), LoadState::loaded());

        // Signing Mira out goes on with the account that becomes active
        // (whose kept events show while they load).
        registry.get()->signOut(mira);
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
        QCOMPARE(model.events().size(), CalendarViewModel::MaxResults);
        QCOMPARE(model.listAccount(), m_alex);
    }

    // Dropped while the session is read, and while the request is out.
    void droppedModelIgnoresLateAnswers()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        m_sandbox->setDelay(500);
        for (int waitMs : {0, 200}) {
            auto model = std::make_unique<CalendarViewModel>();
            model->attach(registry.get());
            model->startRefresh();
            QTest::qWait(waitMs); // dropped while the session is read, or while the request is out
            model.reset();
        }
        QTest::qWait(1200); // every answer arrives after its model is gone, with no sign to wait on
        m_sandbox->setDelay(0);
        QVERIFY(!requestsTo(*m_sandbox, CalendarPath).isEmpty()); // one was in flight
    }
    // Three chosen calendars, one failing: the others' events merge by start,
    // each row in its calendar's colour, with one line for the failed one.
    void mergesTheChosenCalendarsAndNamesAFailedOne()
    {
        const QString team = QStringLiteral("team.tarn@group.calendar.google.com");
        const QString family = QStringLiteral("family.okafor@group.calendar.google.com");
        m_sandbox->injectFault(
            {{"route", "GET /calendar/v3/calendars/" + family + "/events"}, {"status", 500}, {"count", -1}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        CalendarChoice::of(*registry.get()).setIds(m_alex.id, {CalendarChoice::Primary, team, family});
        CalendarViewModel model;
        model.attach(registry.get());
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::loaded());
        QCOMPARE(model.notice(), QStringLiteral("Couldn't load Family."));
        QCOMPARE(requestsTo(*m_sandbox, CalendarPath).size(), 3);
        const auto &events = model.events();
        const auto of = [&](const QString &calendar) {
            return std::count_if(events.cbegin(), events.cend(),
                                 [&](const CalendarEvent &e) { return e.calendarId == calendar; });
        };
        QVERIFY(of(team) > 0);
        QCOMPARE(of(family), 0);
        for (qsizetype i = 1; i < events.size(); ++i)
            if (events[i - 1].start && events[i].start)
                QVERIFY(*events[i - 1].start <= *events[i].start);
        RecordListModelBase *rows = model.eventList();
        for (int row = 0; row < rows->rowCount(); ++row) {
            const auto event = rows->index(row).data(CalendarEventList::EventRole).value<CalendarEvent>();
            QCOMPARE(rows->index(row).data(CalendarEventList::ColourRole).toString(),
                     event.calendarId == team ? QStringLiteral("#16a765") : QStringLiteral("#9fe1e7"));
        }
        m_sandbox->clearFaults();
    }
};

QTEST_GUILESS_MAIN(CalendarViewModelTest)
#include "tst_calendarviewmodel.moc"
