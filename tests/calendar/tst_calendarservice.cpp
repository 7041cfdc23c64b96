// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The calendar client against the sandbox provider: the request on the wire
// and the mapping of event resources, seeded and served as written here.

#include "BearerAuthorizer.h"
#include "Fixture.h"
#include "TaskRunner.h"
#include "calendar/CalendarService.h"
#include "rest/DateTime.h"

#include <QJsonDocument>
#include <QTest>
#include <QTimeZone>
#include <QUuid>
#include <QUrlQuery>

#include <algorithm>

namespace {

const QString EventsPath = QStringLiteral("/calendar/v3/calendars/primary/events");
const QString EventsRoute = "GET " + EventsPath;

QDateTime instant(const QString &rfc3339)
{
    return rest::DateTime::fromRFC3339String(rfc3339).date();
}

const CalendarEvent *findEvent(const QList<CalendarEvent> &events, const QString &id)
{
    for (const CalendarEvent &event : events)
        if (event.id == id)
            return &event;
    return nullptr;
}

QJsonObject attendee(const QString &email, bool resource = false)
{
    QJsonObject item{{"email", email}, {"responseStatus", "accepted"}};
    if (resource)
        item.insert("resource", true);
    return item;
}

} // namespace

class CalendarServiceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;

    QString tokenFor(const QString &sub) { return m_sandbox->accessToken(sub); }

    TaskOutcome<QList<CalendarEvent>> upcoming(const QString &sub = Sandbox::AlexSub, int maxResults = 25)
    {
        auto authorizer = std::make_shared<BearerAuthorizer>(tokenFor(sub).toUtf8());
        return runTask(CalendarService::upcoming(authorizer, 14, maxResults));
    }

    // The next answer of the events list is this body, whatever was asked.
    void serveOnce(const QJsonObject &body, int count = 1)
    {
        m_sandbox->injectFault(
            {{"route", EventsRoute},
             {"status", 200},
             {"count", count},
             {"body", QString::fromUtf8(QJsonDocument(body).toJson(QJsonDocument::Compact))}});
    }

    QList<CalendarEvent> mapped(const QJsonArray &items)
    {
        serveOnce({{"kind", "calendar#events"}, {"items", items}});
        auto outcome = upcoming();
        if (outcome.error)
            qWarning() << *outcome.error;
        return outcome.value.value_or(QList<CalendarEvent>());
    }

private slots:
    void initTestCase() { TL_START_PROVIDER(m_sandbox); }

    void init()
    {
        m_sandbox->reset();
        m_sandbox->clearLog();
    }

    // More than 25 events lie in the window: one request brings the first 25
    // by start time, and the next page is never asked for.
    void fetchesTheFirstEventsOfTheWindowInOneRequest()
    {
        const QDateTime before = QDateTime::currentDateTimeUtc();
        auto outcome = upcoming();
        QVERIFY(!outcome.error);
        const QList<CalendarEvent> events = *outcome.value;
        QCOMPARE(events.size(), 25);

        const QJsonArray log = m_sandbox->requestLog();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.at(0)["path"].toString(), EventsPath);
        const QUrlQuery query(log.at(0)["query"].toString());
        QCOMPARE(query.queryItemValue("singleEvents"), QStringLiteral("true"));
        QCOMPARE(query.queryItemValue("orderBy"), QStringLiteral("startTime"));
        QCOMPARE(query.queryItemValue("maxResults"), QStringLiteral("25"));
        QCOMPARE(query.queryItemValue("fields", QUrl::FullyDecoded), CalendarService::EventFields);
        const QString timeMin = query.queryItemValue("timeMin", QUrl::FullyDecoded);
        const QString timeMax = query.queryItemValue("timeMax", QUrl::FullyDecoded);
        QVERIFY2(timeMin.endsWith(u'Z') && timeMax.endsWith(u'Z'), qPrintable(timeMin + ' ' + timeMax));
        QVERIFY(qAbs(before.secsTo(instant(timeMin))) <= 5);
        // Fourteen calendar days ahead at the same local wall-clock time.
        const QDateTime expectedMax = instant(timeMin).toLocalTime().addDays(14);
        QVERIFY(qAbs(expectedMax.secsTo(instant(timeMax))) <= 5);

        // The provider's own full listing of the same window, for comparison.
        QUrlQuery all(query);
        all.removeAllQueryItems("maxResults");
        all.addQueryItem("maxResults", "250");
        QUrl url = m_sandbox->url(EventsPath);
        url.setQuery(all);
        const auto full = m_sandbox->send(
            "GET", url, {{"Authorization", "Bearer " + tokenFor(Sandbox::AlexSub).toUtf8()}});
        QCOMPARE(full.status, 200);
        const QJsonArray items = full.json().value("items").toArray();
        QVERIFY(items.size() > 25);
        for (int i = 0; i < events.size(); ++i) {
            const QJsonObject item = items.at(i).toObject();
            QCOMPARE(events.at(i).id, item["id"].toString());
            // Every attendee counts, rooms too.
            QCOMPARE(events.at(i).attendeeCount, item["attendees"].toArray().size());
        }
    }

    // Google may answer short or empty pages before the end: the client asks
    // on, with the same window, until it has its events or the list ends.
    void followsShortPages()
    {
        const QList<CalendarEvent> whole = *upcoming().value;
        m_sandbox->setShortPages(Sandbox::AlexSub, true);
        m_sandbox->clearLog();
        auto paged = upcoming();
        QVERIFY(!paged.error);
        QCOMPARE(*paged.value, whole);
        const QJsonArray log = m_sandbox->requestLog();
        QCOMPARE(log.size(), 4); // empty, 12, 12, 12: then 25 are there
        const QUrlQuery first(log.at(0)["query"].toString());
        for (int i = 1; i < log.size(); ++i) {
            QUrlQuery query(log.at(i)["query"].toString());
            QVERIFY(query.hasQueryItem("pageToken"));
            query.removeAllQueryItems("pageToken");
            QCOMPARE(query.query(), first.query());
        }
        auto mira = upcoming(Sandbox::MiraSub);
        QVERIFY(!mira.error);
        QStringList ids;
        for (const CalendarEvent &event : *mira.value)
            ids.append(event.id);
        QCOMPARE(ids, QStringList({"mira0001", "mira0002", "mira0003"}));
    }

    void mapsTheSeededCalendar()
    {
        const QList<CalendarEvent> events =
            upcoming(Sandbox::AlexSub, 250).value.value_or(QList<CalendarEvent>());
        const CalendarEvent *noStart = findEvent(events, "nostart0001");
        QVERIFY(noStart);
        QVERIFY(!noStart->start);
        QVERIFY(!noStart->isAllDay);
        const CalendarEvent *untitled = findEvent(events, "notitle0001");
        QVERIFY(untitled);
        QCOMPARE(untitled->title, QStringLiteral("(no title)"));
        const CalendarEvent *freeze = findEvent(events, "allday0003"); // all day, today
        QVERIFY(freeze);
        QVERIFY(freeze->isAllDay);
        QCOMPARE(freeze->start->toUTC().time(), QTime(12, 0));
        QVERIFY(freeze->htmlLink && freeze->htmlLink->startsWith(m_sandbox->baseUrl().toString()));

        auto empty = upcoming(Sandbox::EmptySub);
        QVERIFY(!empty.error);
        QVERIFY(empty.value->isEmpty());
    }

    // What the meeting features read, through the field selection: links of
    // three kinds, the user's own answer, reminders and attachments.
    void mapsMeetingDetails()
    {
        const QList<CalendarEvent> events =
            upcoming(Sandbox::AlexSub, 250).value.value_or(QList<CalendarEvent>());
        auto first = [&](const QString &title) {
            for (const CalendarEvent &event : events)
                if (event.title == title)
                    return event;
            return CalendarEvent{};
        };
        const CalendarEvent standUp = first("Stand-up");
        QVERIFY2(standUp.meetingLink.startsWith("https://meet.google.com/"), qPrintable(standUp.meetingLink));
        QCOMPARE(standUp.calendarId, QStringLiteral("primary"));
        QVERIFY(standUp.end && *standUp.end == standUp.start->addSecs(15 * 60));
        QVERIFY(standUp.remindersUseDefault);
        QCOMPARE(standUp.reminderMinutes, ReminderMinutes{10}); // the calendar's default
        QVERIFY(!standUp.declined);
        QVERIFY(std::ranges::any_of(standUp.attendees, [](const CalendarAttendee &a) {
            return a.self && a.responseStatus == u"accepted";
        }));

        const CalendarEvent review = first("Design review");
        QVERIFY(review.meetingLink.startsWith("https://teams.microsoft.com/l/meetup-join/"));
        QCOMPARE(review.attachments.size(), 1);
        QCOMPARE(review.attachments.at(0).title, QStringLiteral("Design review notes"));
        QCOMPARE(review.attachments.at(0).mimeType, QStringLiteral("application/vnd.google-apps.document"));
        QVERIFY(review.attachments.at(0).fileUrl.startsWith("https://drive.google.com/"));

        const CalendarEvent call = first("Customer call: Northwind");
        QVERIFY2(call.meetingLink.startsWith("https://us02web.zoom.us/j/") && !call.meetingLink.endsWith('.'),
                 qPrintable(call.meetingLink));
        QVERIFY(!call.remindersUseDefault);
        QCOMPARE(call.reminderMinutes, ReminderMinutes({5, 15}));

        QVERIFY(first("Budget check-in").declined);
        QVERIFY(first("Focus time").meetingLink.isEmpty());
    }

    // Only popup reminders count, once each; nonsense minutes do not.
    void mapsReminders()
    {
        const QJsonArray items{
            QJsonObject{
                {"id", "own"},
                {"reminders",
                 QJsonObject{{"useDefault", false},
                             {"overrides", QJsonArray{QJsonObject{{"method", "email"}, {"minutes", 60}},
                                                      QJsonObject{{"method", "popup"}, {"minutes", 30}},
                                                      QJsonObject{{"method", "popup"}, {"minutes", 0}},
                                                      QJsonObject{{"method", "popup"}, {"minutes", 30}},
                                                      QJsonObject{{"method", "popup"}, {"minutes", -5}},
                                                      QJsonObject{{"method", "popup"}, {"minutes", "9"}}}}}}},
            QJsonObject{{"id", "none"}, {"reminders", QJsonObject{{"useDefault", false}}}},
            QJsonObject{{"id", "default"}, {"reminders", QJsonObject{{"useDefault", true}}}},
        };
        serveOnce({{"kind", "calendar#events"},
                   {"defaultReminders", QJsonArray{QJsonObject{{"method", "popup"}, {"minutes", 15}},
                                                   QJsonObject{{"method", "email"}, {"minutes", 1440}}}},
                   {"items", items}});
        const QList<CalendarEvent> events = upcoming().value.value_or(QList<CalendarEvent>());
        QCOMPARE(events.size(), 3);
        QCOMPARE(events.at(0).reminderMinutes, ReminderMinutes({0, 30}));
        QVERIFY(events.at(1).reminderMinutes.isEmpty());
        QCOMPARE(events.at(2).reminderMinutes, ReminderMinutes{15});
    }

    void mapsEventFields()
    {
        const QJsonObject allDayStart{{"date", "2026-03-05"}};
        const QJsonArray items{
            QJsonObject{{"id", "allday"}, {"summary", "Offsite"}, {"start", allDayStart}},
            QJsonObject{
                {"id", "both"},
                {"summary", "Both"},
                {"start", QJsonObject{{"dateTime", "2026-03-05T09:15:00+01:00"}, {"date", "2026-03-05"}}}},
            QJsonObject{{"id", "nostart"}},
            QJsonObject{{"id", "blank"},
                        {"summary", ""},
                        {"location", ""},
                        {"start", QJsonObject{{"dateTime", "2026-03-05T10:00:00Z"}}}},
            QJsonObject{{"id", "five"},
                        {"summary", "Review"},
                        {"location", "Room Fjord"},
                        {"htmlLink", "https://calendar.example/e/five"},
                        {"attendees", QJsonArray{attendee("me@example.com"), attendee("a@example.com"),
                                                 attendee("b@example.com"), attendee("c@example.com"),
                                                 attendee("room@resource.calendar.google.com", true)}}},
        };
        const QList<CalendarEvent> events = mapped(items);
        QCOMPARE(events.size(), 5);

        const CalendarEvent &allDay = events.at(0);
        QVERIFY(allDay.isAllDay);
        QCOMPARE(*allDay.start, QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC));
        // Noon UTC stays on its date west of UTC+12 and moves on from there.
        QCOMPARE(allDay.start->toTimeZone(QTimeZone("Pacific/Honolulu")).date(), QDate(2026, 3, 5));
        QCOMPARE(allDay.start->toTimeZone(QTimeZone("Etc/GMT-11")).date(), QDate(2026, 3, 5));
        QCOMPARE(allDay.start->toTimeZone(QTimeZone("Etc/GMT-12")).date(), QDate(2026, 3, 6));

        const CalendarEvent &both = events.at(1);
        QVERIFY(!both.isAllDay);
        QCOMPARE(*both.start, QDateTime(QDate(2026, 3, 5), QTime(8, 15), Qt::UTC));

        const CalendarEvent &noStart = events.at(2);
        QCOMPARE(noStart.title, QStringLiteral("(no title)"));
        QVERIFY(!noStart.start && !noStart.isAllDay);
        QVERIFY(!noStart.location && !noStart.htmlLink);
        QCOMPARE(noStart.attendeeCount, 0);

        const CalendarEvent &blank = events.at(3);
        QCOMPARE(blank.title, QString(""));
        QVERIFY(!blank.title.isNull());
        QCOMPARE(blank.location, std::optional<QString>(QString("")));

        const CalendarEvent &five = events.at(4);
        QCOMPARE(five.attendeeCount, 5);
        QCOMPARE(five.location, std::optional<QString>("Room Fjord"));
        QCOMPARE(five.htmlLink, std::optional<QString>("https://calendar.example/e/five"));
        QVERIFY(!five.start);
    }

    void eventWithoutIdGetsAFreshIdEachTime()
    {
        const QJsonArray items{QJsonObject{{"summary", "Anonymous"}}};
        const QString first = mapped(items).value(0).id;
        const QString second = mapped(items).value(0).id;
        QVERIFY(!QUuid::fromString(first).isNull());
        QVERIFY(!QUuid::fromString(second).isNull());
        QVERIFY(first != second);
    }

    void unexpectedAnswersGiveNoEvents()
    {
        serveOnce({{"kind", "calendar#events"}, {"summary", "no items at all"}});
        auto noItems = upcoming();
        QVERIFY(!noItems.error);
        QVERIFY(noItems.value->isEmpty());

        serveOnce({{"kind", "drive#fileList"}, {"files", QJsonArray{QJsonObject{{"id", "x"}}}}});
        auto otherKind = upcoming();
        QVERIFY(!otherKind.error);
        QVERIFY(otherKind.value->isEmpty());
    }

    void passesErrorsThroughUnchanged()
    {
        m_sandbox->injectFault({{"route", EventsRoute}, {"status", 503}});
        auto failed = upcoming();
        QVERIFY(failed.error);
        QCOMPARE(failed.error->code(), 503);
        QCOMPARE(m_sandbox->requestLog().size(), 1);

        auto unauthorized = runTask(
            CalendarService::upcoming(std::make_shared<BearerAuthorizer>("nope"), 14, 25));
        QVERIFY(unauthorized.error);
        QCOMPARE(unauthorized.error->code(), 401);
        QVERIFY(!unauthorized.error->description().isEmpty());
    }
};

QTEST_GUILESS_MAIN(CalendarServiceTest)
#include "tst_calendarservice.moc"
