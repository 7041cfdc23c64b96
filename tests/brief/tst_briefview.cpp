// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The brief over the sandbox: Today from the calendar alone, Needs you from
// the sandbox's model on request, each item linked to its message.

#include "QmlTestSupport.h"
#include "ViewModelSupport.h"
#include "brief/BriefViewModel.h"
#include "brief/MeetingPrepModel.h"
#include "mail/MailViewModel.h"

#include <QJsonDocument>
#include <QSignalSpy>

using namespace qmltest;

namespace {

const QUrl BriefUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Brief/BriefView.qml"));
const QUrl CalendarUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Calendar/CalendarTabView.qml"));
const QUrl MailUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Mail/MailTabView.qml"));
constexpr int Slow = 15000;

QJsonObject eventJson(const QString &id, const QString &title, const QDateTime &start, int minutes)
{
    return QJsonObject{
        {"kind", "calendar#event"},
        {"id", id},
        {"summary", title},
        {"start", QJsonObject{{"dateTime", start.toUTC().toString(Qt::ISODate)}}},
        {"end", QJsonObject{{"dateTime", start.addSecs(minutes * 60).toUTC().toString(Qt::ISODate)}}}};
}

CalendarEvent record(const QString &id, const QDateTime &start, int minutes)
{
    CalendarEvent e;
    e.id = id;
    e.title = id;
    e.start = start;
    e.end = start.addSecs(minutes * 60);
    return e;
}

QStringList ids(const QList<CalendarEvent> &events)
{
    QStringList list;
    for (const auto &e : events)
        list.append(e.id);
    return list;
}

qsizetype modelCalls(Sandbox &sandbox)
{
    return vmtest::requestsTo(sandbox, "/v1/chat/completions").size();
}

} // namespace

class BriefViewTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    // The calendar answers the next listing with these events.
    void answerWith(const QJsonArray &items)
    {
        const QJsonObject answer{{"kind", "calendar#events"}, {"timeZone", "UTC"}, {"items", items}};
        m_sandbox->injectFault({{"route", "GET /calendar/v3/calendars/primary/events"},
                                {"status", 200},
                                {"body", QString::fromUtf8(QJsonDocument(answer).toJson())}});
    }

    BriefViewModel *open(View &view, vmtest::Registry &registry)
    {
        view.provide(registry.get());
        if (!view.loadUrl(BriefUrl, QSize(380, 420)))
            return nullptr;
        auto *brief = view.root->findChild<BriefViewModel *>();
        return brief && QTest::qWaitFor([&] { return brief->state().isLoaded(); }, Slow) ? brief : nullptr;
    }

    bool askModel(View &view, BriefViewModel *brief)
    {
        click(view.find("briefAsk"));
        return QTest::qWaitFor([&] { return brief->property("needsYouKind").toString() == u"done"; }, Slow);
    }

private slots:
    void initTestCase() { TL_START_TAB_VIEWS(m_sandbox); }

    void init()
    {
        BriefViewModel::forgetAnswers();
        MeetingPrepModel::forgetLines();
        QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}}));
    }

    // What is left of today and tomorrow morning, the overlaps the user has
    // not declined, and the first of them with a call.
    void todayFromEventsAlone()
    {
        const QTimeZone zone("Europe/Berlin");
        const QDateTime now(QDate(2026, 3, 10), QTime(9, 30), zone);
        CalendarEvent over = record("over", now.addSecs(-3600), 30);
        CalendarEvent running = record("running", now.addSecs(-600), 60);
        CalendarEvent overlaps = record("overlaps", now.addSecs(600), 30);
        CalendarEvent declined = record("declined", now.addSecs(900), 30);
        declined.declined = true;
        CalendarEvent call = record("call", now.addSecs(7200), 30);
        call.meetingLink = "https://meet.google.com/abc-defg-hij";
        CalendarEvent morning = record("morning", QDateTime(QDate(2026, 3, 11), QTime(11, 30), zone), 60);
        CalendarEvent afternoon = record("afternoon", QDateTime(QDate(2026, 3, 11), QTime(12, 0), zone), 60);
        CalendarEvent allDay = record("allday", QDateTime(QDate(2026, 3, 10), QTime(12, 0), QTimeZone::utc()),
                                      0);
        allDay.isAllDay = true;
        CalendarEvent noStart;
        noStart.id = "nostart";
        const TodayPlan plan = TodayPlan::make(
            {over, running, overlaps, declined, call, morning, afternoon, allDay, noStart}, now, zone);
        QCOMPARE(ids(plan.left),
                 (QStringList{"allday", "running", "overlaps", "declined", "call", "morning"}));
        QCOMPARE(plan.conflicts.size(), 1);
        QCOMPARE(plan.conflicts.first().first.id, QStringLiteral("running"));
        QCOMPARE(plan.conflicts.first().second.id, QStringLiteral("overlaps"));
        QVERIFY(plan.nextMeeting);
        QCOMPARE(plan.nextMeeting->id, QStringLiteral("call"));
    }

    // The brief's Today over the sandbox calendar: a seeded conflict and
    // the next meeting's Join link.
    void todaySection()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QJsonObject review = eventJson("review", "Design review", now.addSecs(1800), 60);
        review["hangoutLink"] = "https://meet.google.com/rev-iewx-abc";
        answerWith({review, eventJson("lunch", "Lunch with Priya", now.addSecs(3600), 60),
                    eventJson("later", "Next week", now.addDays(3), 30)});
        vmtest::Registry registry({m_alex}, m_alex.id);
        vmtest::OpenedUrls opened;
        View view;
        BriefViewModel *brief = open(view, registry);
        QVERIFY(brief);
        QCOMPARE(ids(brief->today().left), (QStringList{"review", "lunch"}));
        QTRY_VERIFY(findItem(view.root.get(), "briefConflict"));
        QCOMPARE(findItem(view.root.get(), "briefConflict")->property("text").toString(),
                 QStringLiteral("Overlap: Design review and Lunch with Priya"));
        QVERIFY(view.find("briefNextMeeting")->isVisible());
        click(view.find("briefJoin"));
        QTRY_COMPARE(opened.urls.value(0), QUrl("https://meet.google.com/rev-iewx-abc"));
        QCOMPARE(modelCalls(*m_sandbox), 0); // nothing asked of the model without a click
        saveLightAndDark(view, QStringLiteral("brief-today"));
    }

    // One call on request; its items name listed messages and open them; the
    // answer stays for the same mail when the brief is opened again.
    void needsYouLinksToMessages()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        QStringList sources;
        {
            View view;
            BriefViewModel *brief = open(view, registry);
            QVERIFY(brief && askModel(view, brief));
            QVERIFY(brief->answer() && !brief->answer()->items.isEmpty());
            QCOMPARE(modelCalls(*m_sandbox), 1);
            for (const auto &item : brief->answer()->items) {
                QVERIFY(std::ranges::any_of(brief->unread(),
                                            [&](const auto &m) { return m.id == item.sourceId; }));
                sources.append(item.sourceId);
            }
            QVERIFY(!view.find("briefDropNote")->isVisible());
            QSignalSpy requested(view.root.get(), SIGNAL(messageRequested(QString)));
            QTRY_VERIFY(findItem(view.root.get(), "briefItem:" + sources.first()));
            click(findItem(view.root.get(), "briefItem:" + sources.first()));
            QCOMPARE(requested.value(0).value(0).toString(), sources.first());
            saveLightAndDark(view, QStringLiteral("brief-needs-you"));
        }
        View again;
        BriefViewModel *brief = open(again, registry);
        QVERIFY(brief);
        QCOMPARE(brief->property("needsYouKind").toString(), QStringLiteral("done"));
        QCOMPARE(brief->answer()->items.size(), sources.size());
        QCOMPARE(modelCalls(*m_sandbox), 1);

        // The Mail tab opens the requested message expanded.
        View mail;
        mail.provide(registry.get());
        QVERIFY(mail.loadUrl(MailUrl, QSize(380, 320)));
        QMetaObject::invokeMethod(mail.root.get(), "openMessage", Q_ARG(QVariant, sources.last()));
        auto *model = mail.root->findChild<MailViewModel *>();
        QTRY_COMPARE_WITH_TIMEOUT(model->expandedID().value_or(QString()), sources.last(), Slow);
    }

    // Planted links and markup are dropped, and the closing note says why.
    void droppedItemsAreNamed()
    {
        m_sandbox->control("POST", "model", QJsonObject{{"briefShape", "links-markup"}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        View view;
        BriefViewModel *brief = open(view, registry);
        QVERIFY(brief && askModel(view, brief));
        QVERIFY(view.find("briefDropNote")->isVisible());
        const QString note = view.find("briefDropNote")->property("text").toString();
        QVERIFY2(note.contains("with a link") && note.contains("with markup"), qPrintable(note));
        for (const auto &item : brief->answer()->items)
            QVERIFY(!item.text.contains("example.org") && !item.text.contains('<'));
    }

    // The seeded review: its guests' unread mail from one search, its files
    // through the link gate, and three lines on request, planted ones dropped.
    void meetingPrepCard()
    {
        m_sandbox->control("POST", "model", QJsonObject{{"briefShape", "links-markup"}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        vmtest::OpenedUrls opened;
        View view;
        view.provide(registry.get());
        QVERIFY(view.loadUrl(CalendarUrl, QSize(380, 560)));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(view.root.get(), "eventRow:brief0001"), Slow);
        QQuickItem *row = findItem(view.root.get(), "eventRow:brief0001");
        m_sandbox->clearLog();
        click(findItem(row, "eventButton"));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(row, "meetingPrepCard"), Slow);
        QTRY_VERIFY_WITH_TIMEOUT(!findItems(row, "prepFile").isEmpty(), Slow);
        auto *prep = row->findChild<MeetingPrepModel *>();
        QTRY_VERIFY_WITH_TIMEOUT(prep->state().isLoaded(), Slow);
        const auto searches = vmtest::requestsTo(*m_sandbox, "/gmail/v1/users/me/messages", "GET");
        QStringList queries;
        for (const auto &entry : searches)
            if (entry.value("path").toString() == u"/gmail/v1/users/me/messages")
                queries.append(entry.value("query").toString());
        QCOMPARE(queries.size(), 1);
        QVERIFY2(queries.first().contains("newer_than") && queries.first().contains("priya"),
                 qPrintable(queries.first()));
        QVERIFY(!prep->mailList().isEmpty() && prep->mailList().size() <= 5);
        for (const auto &mail : prep->mailList())
            QVERIFY2(mail.from.contains("priya@") || mail.from.contains("daniel.kim@")
                         || mail.from.contains("lena.park@"),
                     qPrintable(mail.from));
        QCOMPARE(findItems(row, "prepGuest").size(), 4);

        click(findItems(row, "prepFile").first());
        QCOMPARE(opened.urls.value(0), QUrl("https://docs.google.com/presentation/d/1Q3RoadmapDeck/edit"));

        click(findItem(row, "prepPrepare"));
        QTRY_VERIFY_WITH_TIMEOUT(prep->property("prepareKind").toString() == u"done", Slow);
        const QStringList lines = prep->property("prepareLines").toStringList();
        QVERIFY(!lines.isEmpty() && lines.size() <= 3);
        for (const QString &line : lines)
            QVERIFY2(!line.contains("https") && !line.contains('<'), qPrintable(line));
        QVERIFY(findItem(row, "prepNote")->property("text").toString().contains("with a link"));
        saveLightAndDark(view, QStringLiteral("meeting-prep"));

        // Collapsed and expanded again: the same lines, without the model.
        click(findItem(row, "eventButton"));
        QTRY_VERIFY(!findItem(row, "meetingPrepCard"));
        click(findItem(row, "eventButton"));
        QTRY_VERIFY_WITH_TIMEOUT(findItems(row, "prepLine").size() == lines.size(), Slow);
        QCOMPARE(modelCalls(*m_sandbox), 1);
    }

    void guestSearchLeavesOutUserAndRooms()
    {
        CalendarAttendee self{"alex@example.com", "Alex", "accepted", true};
        CalendarAttendee room{"c_188fjord@resource.calendar.google.com", "Room", "accepted", false};
        CalendarAttendee odd{"a) OR (b@example.com", "", "", false};
        CalendarAttendee ann{"Ann@Example.com", "Ann", "accepted", false};
        QCOMPARE(MeetingPrepModel::guestSearch({self, room, odd, ann, ann}),
                 QStringLiteral("from:(ann@example.com) newer_than:14d is:unread"));
        QCOMPARE(MeetingPrepModel::guestSearch({self, room}), QString());
    }

    void cancelStopsWaiting()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        View view;
        BriefViewModel *brief = open(view, registry);
        QVERIFY(brief);
        m_sandbox->setDelay(3000);
        click(view.find("briefAsk"));
        QTRY_VERIFY(view.find("briefRunning")->isVisible());
        click(view.find("briefCancel"));
        QCOMPARE(brief->property("needsYouKind").toString(), QStringLiteral("idle"));
        QVERIFY(view.find("briefAsk")->isVisible());
        m_sandbox->setDelay(0);
    }

    // An answer still coming when the user switches account belongs to the
    // account it was asked for: the new account's brief never shows it.
    void switchingAccountDropsTheRunningAnswer()
    {
        QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_mira, Sandbox::MiraSub}}));
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        View view;
        BriefViewModel *brief = open(view, registry);
        QVERIFY(brief);
        vmtest::holdNextRequest(*m_sandbox, QStringLiteral("POST /v1/chat/completions"), 1500);
        click(view.find("briefAsk"));
        TL_WAIT([&] { return vmtest::heldRequestsArrived(*m_sandbox); }, Slow, "the model to be asked");
        const QList<EmailMessage> alexMail = brief->unread();
        registry.get()->setActive(m_mira);
        TL_WAIT([&] { return brief->state().isLoaded() && brief->unread() != alexMail; }, Slow,
                "Mira's brief");
        QCOMPARE(brief->property("needsYouKind").toString(), QStringLiteral("idle"));
        QTest::qWait(1700); // the held answer arrives meanwhile and must be dropped
        QCOMPARE(brief->property("needsYouKind").toString(), QStringLiteral("idle"));
        QVERIFY(!brief->answer());
    }
};

QTEST_MAIN(BriefViewTest)
#include "tst_briefview.moc"
