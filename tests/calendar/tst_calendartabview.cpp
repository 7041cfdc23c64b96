// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The Calendar tab's QML over a real view model fed by the sandbox provider,
// offscreen; screenshots of each state under build/screenshots.

#include "HostileText.h"
#include "QmlTestSupport.h"
#include "ViewModelSupport.h"
#include "calendar/CalendarViewModel.h"

#include <QJsonDocument>
#include <QLocale>

using namespace qmltest;

namespace {

const QUrl TabUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Calendar/CalendarTabView.qml"));
const QString EventsRoute = QStringLiteral("GET /calendar/v3/calendars/primary/events");
constexpr int Slow = 15000;

QJsonObject timedEvent(const QString &id, const QString &title, const QDateTime &start)
{
    return QJsonObject{{"kind", "calendar#event"},
                       {"id", id},
                       {"summary", title},
                       {"htmlLink", "https://calendar.google.com/calendar/event?eid=" + id},
                       {"start", QJsonObject{{"dateTime", start.toUTC().toString(Qt::ISODate)}}},
                       {"end", QJsonObject{{"dateTime", start.addSecs(1800).toUTC().toString(Qt::ISODate)}}}};
}

QJsonArray attendees(int count)
{
    QJsonArray list;
    for (int i = 0; i < count; ++i)
        list.append(QJsonObject{{"email", QStringLiteral("guest%1@example.com").arg(i)}});
    return list;
}

QColor colour(QQuickItem *item)
{
    return item->property("color").value<QColor>();
}

} // namespace

class CalendarTabViewTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    QQuickItem *open(qmltest::View &view, GoogleAuthService *auth)
    {
        view.provide(auth);
        return view.loadUrl(TabUrl, QSize(380, 320));
    }

    // The calendar answers once with these events, in this order.
    void answerWith(const QJsonArray &items)
    {
        const QJsonObject answer{{"kind", "calendar#events"},
                                 {"summary", "alex.rivera@example.com"},
                                 {"timeZone", "UTC"},
                                 {"items", items}};
        m_sandbox->injectFault({{"route", EventsRoute},
                                {"status", 200},
                                {"body", QString::fromUtf8(QJsonDocument(answer).toJson())}});
    }

    QStringList headerTexts(qmltest::View &view)
    {
        QStringList texts;
        for (QQuickItem *header : findItems(view.root.get(), "dayHeader")) {
            if (header->isVisible() && !texts.contains(header->property("text").toString()))
                texts.append(header->property("text").toString());
        }
        return texts;
    }

private slots:
    void initTestCase() { TL_START_TAB_VIEWS(m_sandbox); }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_sam, Sandbox::EmptySub}})); }

    // An invitation from a stranger shows its title and place as written and
    // makes the view fetch nothing.
    void hostileTextStaysText()
    {
        HostileText hostile;
        QVERIFY(hostile.isListening());
        QJsonObject event = timedEvent("hostile", hostile.text("title"),
                                       QDateTime::currentDateTime().addSecs(7200));
        event["location"] = hostile.text("place");
        answerWith({event});
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(view.root.get(), "eventRow:hostile"), Slow);
        QQuickItem *row = findItem(view.root.get(), "eventRow:hostile");
        QVERIFY(HostileText::showsAsIs(findItem(row, "eventTitle"), hostile.text("title")));
        QVERIFY(HostileText::showsAsIs(findItem(row, "eventLocationText"), hostile.text("place")));
        qmltest::saveLightAndDark(view, QStringLiteral("calendar-hostile-row"));
        QCOMPARE(hostile.connections(), 0);
    }

    // Within the hour: orange bar and "Soon"; later: the calendar's colour, no badge;
    // started: faded bar and dimmed title; no start: today, plain.
    void rowsFollowTheClock()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QJsonObject soon = timedEvent("soon", "Design review", now.addSecs(30 * 60));
        soon["location"] = "Room Fjord";
        soon["attendees"] = attendees(3);
        QJsonObject later = timedEvent("later", "Customer call", now.addSecs(90 * 60));
        later["location"] = "";
        QJsonObject started = timedEvent("started", "Stand-up", now.addSecs(-10 * 60));
        started["attendees"] = attendees(1);
        const QJsonObject noStart{
            {"kind", "calendar#event"}, {"id", "nostart"}, {"summary", "Time to be decided"}};
        const QDate today = QDate::currentDate();
        const QJsonObject tomorrow = timedEvent("tomorrow", "Yoga",
                                                QDateTime(today.addDays(1), QTime(10, 0)));
        const QJsonObject dayAfter = timedEvent("dayafter", "Offsite",
                                                QDateTime(today.addDays(2), QTime(10, 0)));
        answerWith({started, soon, later, noStart, tomorrow, dayAfter});

        vmtest::Registry registry({m_alex}, m_alex.id);
        vmtest::OpenedUrls opened;
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(view.root.get(), "eventRow:later"), Slow);
        QQuickItem *root = view.root.get();
        // Bars not marked Soon take the calendar's colour (the sandbox's primary one).
        const QColor calendarColour(QStringLiteral("#9fe1e7"));

        QQuickItem *soonRow = findItem(root, "eventRow:soon");
        QVERIFY(findItem(soonRow, "soonBadge")->isVisible());
        QCOMPARE(findItem(soonRow, "soonBadge")->property("text").toString(), QStringLiteral("Soon"));
        QCOMPARE(colour(findItem(soonRow, "timeBar")), colour(findItem(soonRow, "soonBadge")));
        QVERIFY(findItem(soonRow, "eventLocation")->isVisible());
        QCOMPARE(findItem(soonRow, "eventAttendeeCount")->property("text").toString(), QStringLiteral("3"));

        QQuickItem *laterRow = findItem(root, "eventRow:later");
        QVERIFY(!findItem(laterRow, "soonBadge")->isVisible());
        QCOMPARE(colour(findItem(laterRow, "timeBar")), calendarColour);
        QVERIFY(!findItem(laterRow, "eventLocation")->isVisible());
        QVERIFY(!findItem(laterRow, "eventAttendees")->isVisible());

        QQuickItem *startedRow = findItem(root, "eventRow:started");
        QVERIFY(!findItem(startedRow, "soonBadge")->isVisible());
        QCOMPARE(findItem(startedRow, "timeBar")->opacity(), 0.3);
        QCOMPARE(colour(findItem(startedRow, "eventTitle")), colour(findItem(startedRow, "eventTime")));
        QCOMPARE(findItem(startedRow, "eventAttendeeCount")->property("text").toString(),
                 QStringLiteral("1"));

        QQuickItem *noStartRow = findItem(root, "eventRow:nostart");
        QCOMPARE(findItem(noStartRow, "eventTime")->property("text").toString(), QString());
        QCOMPARE(findItem(noStartRow, "timeBar")->opacity(), 1.0);
        QCOMPARE(colour(findItem(noStartRow, "timeBar")), calendarColour);
        QVERIFY(colour(findItem(noStartRow, "eventTitle")) != colour(findItem(noStartRow, "eventTime")));
        auto *model = view.root->findChild<CalendarViewModel *>();
        const auto rows = model->eventList()->match(
            model->eventList()->index(0), CalendarEventList::EventIdRole, QStringLiteral("nostart"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0).data(CalendarEventList::DayRole).toString(), today.toString(Qt::ISODate));

        QStringList headers = headerTexts(view);
        // (Just after midnight the started event heads a section of yesterday.)
        QVERIFY2(headers.contains("Today") && headers.indexOf("Today") < headers.indexOf("Tomorrow"),
                 qPrintable(headers.join(" | ")));
        qmltest::saveLightAndDark(view, QStringLiteral("calendar-list"));

        click(findItem(soonRow, "eventButton")); // expands it
        QTRY_VERIFY(findItem(soonRow, "prepOpenEvent"));
        click(findItem(soonRow, "prepOpenEvent"));
        // In the listed account's calendar: the browser may be signed in to several.
        QCOMPARE(opened.urls,
                 QList<QUrl>{QUrl(
                     "https://calendar.google.com/calendar/event?eid=soon&authuser=alex%40example.com")});

        // The day after tomorrow is headed by its weekday and date.
        QMetaObject::invokeMethod(view.find("calendarList"), "positionViewAtEnd");
        const QString expected =
            QLocale().language() == QLocale::C || QLocale().language() == QLocale::English
                ? QLocale(QLocale::English).toString(today.addDays(2), QStringLiteral("dddd, MMM d"))
                : model->dayLabel(today.addDays(2).toString(Qt::ISODate));
        tltest::waitUntil([&] { return headerTexts(view).contains(expected); }); // the list lays its end out
        headers = headerTexts(view);
        QVERIFY2(headers.contains(expected), qPrintable(headers.join(" | ")));
    }

    // Scrolled into a section, its header stays at the top of the list.
    void headerStaysPinnedWhileItsSectionScrolls()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QQuickItem *list = view.find("calendarList");
        QTRY_VERIFY_WITH_TIMEOUT(list->isVisible(), Slow);
        auto *model = view.root->findChild<CalendarViewModel *>();
        const QList<CalendarDay> days = model->grouped();
        QVERIFY(days.size() >= 3 && days.first().events.size() >= 2);

        list->setProperty("contentY", 40); // inside today's section
        const QString first = model->dayLabel(days.first().day.date().toString(Qt::ISODate));
        const auto pinned = [&] {
            for (QQuickItem *header : findItems(view.root.get(), "dayHeader")) {
                if (header->isVisible() && header->property("text").toString() == first
                    && qAbs(header->mapToItem(list, QPointF()).y()) < 1)
                    return true;
            }
            return false;
        };
        tltest::waitUntil(pinned); // the list lays its sections out
        QVERIFY(pinned());
        qmltest::saveLightAndDark(view, QStringLiteral("calendar-scrolled"));
    }

    void spinnerEmptyAndErrorPanels()
    {
        m_sandbox->setDelay(400);
        vmtest::Registry registry({m_sam}, m_sam.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QVERIFY(view.find("calendarLoading")->isVisible());
        qmltest::saveLightAndDark(view, QStringLiteral("calendar-loading"));
        m_sandbox->setDelay(0);
        QQuickItem *empty = view.find("calendarEmpty");
        QTRY_VERIFY_WITH_TIMEOUT(empty->isVisible(), Slow);
        QCOMPARE(empty->property("title").toString(), QStringLiteral("Nothing scheduled"));
        QCOMPARE(empty->property("message").toString(), QStringLiteral("No events in the next two weeks."));
        qmltest::saveLightAndDark(view, QStringLiteral("calendar-empty"));

        m_sandbox->injectFault({{"route", EventsRoute}, {"status", 503}});
        vmtest::Registry alex({m_alex}, m_alex.id);
        qmltest::View failed;
        QVERIFY(open(failed, alex.get()));
        QQuickItem *error = failed.find("calendarError");
        QTRY_VERIFY_WITH_TIMEOUT(error->isVisible(), Slow);
        QCOMPARE(error->property("title").toString(), QStringLiteral("Couldn't load calendar"));
        QCOMPARE(error->property("message").toString(),
                 failed.root->findChild<CalendarViewModel *>()->state().message);
        QVERIFY(!failed.find("calendarList")->isVisible());
        qmltest::saveLightAndDark(failed, QStringLiteral("calendar-error"));
    }
};

QTEST_MAIN(CalendarTabViewTest)
#include "tst_calendartabview.moc"
