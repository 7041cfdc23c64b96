// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Meeting reminders against the sandbox's calendar, shown on a test-owned
// notification server.

#include "DesktopServices.h"
#include "ViewModelSupport.h"
#include "calendar/CalendarViewModel.h"
#include "calendar/MeetingReminders.h"

#include <QElapsedTimer>
#include <QJsonArray>

using namespace std::chrono_literals;

class RemindersTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    NotificationServer m_server;

    void addEvent(const QString &summary, int startsIn, int reminder, bool declined = false)
    {
        const QJsonObject body{{"sub", Sandbox::AlexSub},
                               {"summary", summary},
                               {"startsIn", startsIn},
                               {"reminders", QJsonArray{reminder}},
                               {"hangoutLink", "https://meet.google.com/abc-defg-hij"},
                               {"declined", declined}};
        QVERIFY(m_sandbox->control("POST", QStringLiteral("event"), body).toObject().value("ok").toBool());
    }

    QList<NotificationServer::Notice> noticesAbout(const QString &summary) const
    {
        QList<NotificationServer::Notice> found;
        for (const NotificationServer::Notice &notice : m_server.notices)
            if (notice.summary == summary)
                found.append(notice);
        return found;
    }

    struct Beside
    {
        explicit Beside(const Account &account) : registry({account}, account.id), reminders(*registry.get())
        {}
        vmtest::Registry registry;
        MeetingReminders reminders;
        CalendarViewModel agenda;
    };

    // Alex's reminders after their own first load, and the agenda beside them.
    std::unique_ptr<Beside> remindersBesideAgenda()
    {
        auto beside = std::make_unique<Beside>(m_alex);
        beside->reminders.reload();
        if (!TL_WAITED([&] { return beside->reminders.nextDue().isValid(); }, 10000, "the first load"))
            return nullptr;
        beside->agenda.attach(beside->registry.get());
        return beside;
    }

private slots:
    void initTestCase()
    {
        TL_START_KEYRING_PROVIDER(m_sandbox);
        QVERIFY(m_server.start());
    }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}})); }

    // The reminder one minute before an event 68 s ahead is due in ~8 s.
    void remindsOnTimeWithJoinAndSnooze()
    {
        addEvent(QStringLiteral("Fjord sync"), 68, 1);
        addEvent(QStringLiteral("Declined sync"), 68, 1, true);
        vmtest::Registry registry({m_alex}, m_alex.id);
        MeetingReminders reminders(*registry.get());
        reminders.setSnoozeLength(300ms);
        QElapsedTimer clock;
        clock.start();
        reminders.reload();
        TL_WAIT([&] { return !noticesAbout(QStringLiteral("Fjord sync")).isEmpty(); }, 15000, "the reminder");
        QVERIFY2(qAbs(clock.elapsed() - 8000) < 2000, qPrintable(QString::number(clock.elapsed())));
        const NotificationServer::Notice notice = noticesAbout(QStringLiteral("Fjord sync")).first();
        QCOMPARE(notice.body, QStringLiteral("In 1 minute · Google Meet"));
        QCOMPARE(notice.hints.value("category").toString(), MeetingReminders::Category);
        QVERIFY(notice.actions.contains(MeetingReminders::JoinAction));
        QVERIFY(notice.actions.contains(MeetingReminders::SnoozeAction));
        QVERIFY(noticesAbout(QStringLiteral("Declined sync")).isEmpty());

        vmtest::OpenedUrls opened;
        m_server.invoke(notice.id, MeetingReminders::JoinAction);
        TL_WAIT([&] { return !opened.urls.isEmpty(); }, 5000, "the meeting opened");
        QCOMPARE(opened.urls, QList<QUrl>{QUrl("https://meet.google.com/abc-defg-hij")});
        QCOMPARE(noticesAbout(QStringLiteral("Fjord sync")).size(), 1);

        m_server.invoke(notice.id, MeetingReminders::SnoozeAction);
        TL_WAIT([&] { return noticesAbout(QStringLiteral("Fjord sync")).size() == 2; }, 5000,
                "the snoozed one");
        QCOMPARE(noticesAbout(QStringLiteral("Fjord sync")).last().body,
                 QStringLiteral("In 1 minute · Google Meet"));
    }

    // Due five minutes before an event two minutes ahead: missed while the
    // app was stopped.
    void missedReminderShowsOnceAcrossStarts()
    {
        addEvent(QStringLiteral("Missed sync"), 120, 5);
        vmtest::Registry registry({m_alex}, m_alex.id);
        {
            MeetingReminders reminders(*registry.get());
            reminders.reload();
            TL_WAIT([&] { return !noticesAbout(QStringLiteral("Missed sync")).isEmpty(); }, 10000,
                    "at start");
        }
        // The second start shows only what came due since the first: the
        // new one arriving after its first pass means the old one would have too.
        addEvent(QStringLiteral("Later sync"), 63, 1);
        MeetingReminders reminders(*registry.get());
        reminders.reload();
        TL_WAIT([&] { return !noticesAbout(QStringLiteral("Later sync")).isEmpty(); }, 10000, "the new one");
        QCOMPARE(noticesAbout(QStringLiteral("Missed sync")).size(), 1);
        reminders.setEnabled(false);
        QVERIFY(!reminders.nextDue().isValid());
        QCOMPARE(noticesAbout(QStringLiteral("Missed sync")).first().body,
                 QStringLiteral("In 2 minutes · Google Meet"));
    }

    // Added minutes ahead with a ten-minute reminder, after the reminders'
    // own load: the agenda's refresh finds it and it reminds once.
    void lateMeetingRemindsOnceWhenTheAgendaFindsIt()
    {
        const auto beside = remindersBesideAgenda();
        QVERIFY(beside);
        const auto addAndRefresh = [&](const QString &summary) {
            addEvent(summary, 180, 10);
            QVERIFY(runTask(beside->agenda.refresh()).finished);
            QCOMPARE(beside->agenda.state(), LoadState::loaded());
            TL_WAIT([&] { return !noticesAbout(summary).isEmpty(); }, 5000, "the late reminder");
        };
        addAndRefresh(QStringLiteral("Late sync"));
        QCOMPARE(noticesAbout(QStringLiteral("Late sync")).first().body,
                 QStringLiteral("In 3 minutes · Google Meet"));
        // Notices reach the server in order: the second one's arrival means
        // a repeat of the first would have arrived too.
        addAndRefresh(QStringLiteral("Later sync"));
        QCOMPARE(noticesAbout(QStringLiteral("Late sync")).size(), 1);
    }

    // The agenda shows only its first events: a meeting beyond them, later
    // today, still reminds from the reminders' own list.
    void agendaCutShortKeepsLaterReminders()
    {
        for (int i = 0; i < CalendarViewModel::MaxResults; ++i)
            addEvent(QStringLiteral("Filler %1").arg(i), 3600 + 60 * i, 0);
        addEvent(QStringLiteral("Evening sync"), 3 * 3600 + 12, 180); // due in ~12 s
        const auto beside = remindersBesideAgenda();
        QVERIFY(beside);
        QVERIFY(runTask(beside->agenda.refresh()).finished);
        QCOMPARE(beside->agenda.events().size(), CalendarViewModel::MaxResults);
        TL_WAIT([&] { return !noticesAbout(QStringLiteral("Evening sync")).isEmpty(); }, 20000,
                "the evening reminder");
    }
};

QTEST_GUILESS_MAIN(RemindersTest)
#include "tst_reminders.moc"
