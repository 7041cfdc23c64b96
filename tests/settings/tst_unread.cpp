// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BearerAuthorizer.h"
#include "TaskRunner.h"
#include "ViewModelSupport.h"
#include "DesktopServices.h"
#include "mail/GmailLink.h"
#include "mail/GmailService.h"
#include "shell/app/AppSettings.h"
#include "shell/app/MailNotifier.h"
#include "mail/UnreadMonitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QtTest>

// The unread count at the tray and the notices of new mail, against the sandbox.
class UnreadTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;
    const Account m_alex = vmtest::account(QStringLiteral("alex"));
    const Account m_mira = vmtest::account(QStringLiteral("mira"));

    QString deliver(const QString &sub, const QString &subject)
    {
        return m_sandbox
            ->control(
                "POST", QStringLiteral("mail"),
                QJsonObject{{"sub", sub}, {"from", "Sofia Rossi <sofia@example.it>"}, {"subject", subject}})
            .toObject()
            .value("id")
            .toString();
    }

    int inboxUnread(const QString &sub)
    {
        const QString token = m_sandbox->accessToken(sub);
        auto listed = runTask(
            GmailService::list(std::make_shared<BearerAuthorizer>(token.toUtf8()), {"INBOX", "UNREAD"}, 500));
        return listed.value ? int(listed.value->size()) : -1;
    }

    static int countOf(const UnreadMonitor &monitor, const Account &account)
    {
        for (const auto &[listed, count] : monitor.counts())
            if (listed.id == account.id)
                return count;
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(vmtest::inKeyring());
        TL_START_PROVIDER(m_sandbox);
        m_store = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("app.ini")),
                                              QSettings::IniFormat);
        AppSettings::instance().useStore(m_store.get());
    }

    void init()
    {
        m_store->clear();
        QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_mira, Sandbox::MiraSub}}));
    }

    void cleanup()
    {
        vmtest::removeSession(m_alex);
        vmtest::removeSession(m_mira);
    }

    void badgeAndTooltipTexts()
    {
        QCOMPARE(UnreadMonitor::badgeText(0), QString());
        QCOMPARE(UnreadMonitor::badgeText(7), QStringLiteral("7"));
        QCOMPARE(UnreadMonitor::badgeText(99), QStringLiteral("99"));
        QCOMPARE(UnreadMonitor::badgeText(100), QStringLiteral("99+"));
        QCOMPARE(UnreadMonitor::tooltip({}), QStringLiteral("Tarnlight"));
        QCOMPARE(UnreadMonitor::tooltip({{m_alex, 3}, {m_mira, 1}}),
                 QStringLiteral("Tarnlight — alex@example.com: 3, mira@example.com: 1"));
        Account odd = m_alex;
        odd.email = QStringLiteral("<b>a&b</b>@example.com");
        QCOMPARE(UnreadMonitor::tooltip({{odd, 2}}),
                 QStringLiteral("Tarnlight — &lt;b&gt;a&amp;b&lt;/b&gt;@example.com: 2"));
    }

    // Every account is counted; one whose check fails keeps its last count
    // and is read again next time; the session read once is reused.
    void countsEveryAccountAndKeepsAFailingOnesLast()
    {
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        UnreadMonitor monitor(*registry.get());
        const int alexUnread = inboxUnread(Sandbox::AlexSub);
        QVERIFY(alexUnread > 0);
        QVERIFY(runTask(monitor.checkNow()).finished);
        QCOMPARE(countOf(monitor, m_alex), alexUnread);
        QCOMPARE(countOf(monitor, m_mira), inboxUnread(Sandbox::MiraSub));
        QCOMPARE(monitor.total(), alexUnread + countOf(monitor, m_mira));
        QCOMPARE(UnreadMonitor::tooltip(monitor.counts()),
                 QStringLiteral("Tarnlight — alex@example.com: %1, mira@example.com: %2")
                     .arg(alexUnread)
                     .arg(countOf(monitor, m_mira)));

        deliver(Sandbox::AlexSub, QStringLiteral("One"));
        m_sandbox->injectFault({{"route", "GET /gmail/v1/users/me/labels/INBOX"}, {"status", 500}});
        QVERIFY(runTask(monitor.checkNow()).finished);
        QCOMPARE(countOf(monitor, m_alex), alexUnread);
        QCOMPARE(countOf(monitor, m_mira), inboxUnread(Sandbox::MiraSub));
        QVERIFY(runTask(monitor.checkNow()).finished);
        QCOMPARE(countOf(monitor, m_alex), alexUnread + 1);

        // The keychain item gone: the session in hand still serves.
        vmtest::removeSession(m_alex);
        deliver(Sandbox::AlexSub, QStringLiteral("Two"));
        QVERIFY(runTask(monitor.checkNow()).finished);
        QCOMPARE(countOf(monitor, m_alex), alexUnread + 2);

        registry.get()->signOut(m_mira);
        QCOMPARE(monitor.counts().size(), 1);
    }

    void offSetsNoTimer()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        UnreadMonitor monitor(*registry.get());
        monitor.setRefreshMinutes(0);
        monitor.start();
        QVERIFY(!monitor.timerActive());
        monitor.setRefreshMinutes(1);
        QVERIFY(monitor.timerActive());
        monitor.setRefreshMinutes(0);
        QVERIFY(!monitor.timerActive());
    }

    // Mail unread at start is not announced; one new message is, by sender
    // and subject; four at once make one summary; nothing twice, nothing
    // with the setting off; "Open in Gmail" opens the thread.
    void announcesNewMailOnce()
    {
        NotificationServer server;
        QVERIFY(server.start());
        vmtest::Registry registry({m_alex}, m_alex.id);
        UnreadMonitor monitor(*registry.get());
        MailNotifier notifier(*registry.get());
        connect(&monitor, &UnreadMonitor::newMail, &notifier,
                [&](const Account &account, const QList<EmailMessage> &messages, int count) {
                    notifier.announce(account, messages, count);
                });
        QVERIFY(runTask(monitor.checkNow()).finished);
        QTest::qWait(100); // no notice is shown meanwhile
        QCOMPARE(server.notices.size(), 0);

        const QString ferry = deliver(Sandbox::AlexSub, QStringLiteral("Ferry times"));
        QVERIFY(runTask(monitor.checkNow()).finished);
        QTRY_COMPARE(server.notices.size(), 1);
        QCOMPARE(server.notices[0].summary, QStringLiteral("Sofia Rossi"));
        QCOMPARE(server.notices[0].body, QStringLiteral("Ferry times"));
        QVERIFY(server.notices[0].actions.contains(QStringLiteral("Open in Gmail")));
        QVERIFY(server.notices[0].actions.contains(QStringLiteral("default")));
        QVERIFY(runTask(monitor.checkNow()).finished);

        for (int i = 0; i < 4; ++i)
            deliver(Sandbox::AlexSub, QStringLiteral("Batch %1").arg(i));
        QVERIFY(runTask(monitor.checkNow()).finished);
        QTRY_COMPARE(server.notices.size(), 2);
        QCOMPARE(server.notices[1].summary, QStringLiteral("4 new messages"));

        monitor.setNotifyNewMail(false);
        deliver(Sandbox::AlexSub, QStringLiteral("Quiet"));
        QVERIFY(runTask(monitor.checkNow()).finished);
        QTest::qWait(200); // no notice is shown meanwhile
        QCOMPARE(server.notices.size(), 2);

        vmtest::OpenedUrls opened;
        QSignalSpy popover(&notifier, &MailNotifier::popoverRequested);
        server.invoke(server.notices[0].id, MailNotifier::OpenAction);
        QTRY_COMPARE(opened.urls.size(), 1);
        QCOMPARE(opened.urls[0], gmail::threadWebLink(m_alex.email, ferry));
        server.invoke(server.notices[1].id, QStringLiteral("default"));
        QTRY_COMPARE(popover.size(), 1);
        server.invoke(999, QStringLiteral("default"));
        QTest::qWait(100); // an unknown notice opens nothing meanwhile
        QCOMPARE(popover.size(), 1);
    }

    // An account signed out while its new mail is read announces nothing:
    // the notice's actions would fail as that account.
    void signedOutMeanwhileAnnouncesNothing()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        UnreadMonitor monitor(*registry.get());
        QSignalSpy announced(&monitor, &UnreadMonitor::newMail);
        QVERIFY(runTask(monitor.checkNow()).finished);
        deliver(Sandbox::AlexSub, QStringLiteral("Late"));
        vmtest::holdNextRequest(*m_sandbox, QStringLiteral("POST /batch/gmail/v1"), 1000);
        QCoro::Task<void> check = monitor.checkNow();
        TL_WAIT([&] { return vmtest::heldRequestsArrived(*m_sandbox); }, 10000, "the mail to be read");
        registry.get()->signOut(m_alex);
        QVERIFY(runTask(std::move(check)).finished);
        QCOMPARE(announced.size(), 0);
    }

    // "Mark as read" and "Archive" on a notice change the message at Gmail for
    // the notice's account only, and the count follows; the summary notice
    // only opens Tarnlight; a refused change gets a notice of its own.
    void noticeActionsChangeTheMessageAtGmail()
    {
        NotificationServer server;
        QVERIFY(server.start());
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        UnreadMonitor monitor(*registry.get());
        MailNotifier notifier(*registry.get());
        QVERIFY(runTask(monitor.checkNow()).finished);
        const int alexBefore = inboxUnread(Sandbox::AlexSub), miraBefore = countOf(monitor, m_mira);
        QList<EmailMessage> arrived;
        for (const QString &subject : {QStringLiteral("Ferry times"), QStringLiteral("Lunch")}) {
            EmailMessage message;
            message.id = message.threadId = deliver(Sandbox::MiraSub, subject);
            message.subject = subject;
            arrived << message;
        }
        notifier.announce(m_mira, arrived, 2);
        notifier.announce(m_mira, arrived, 5);
        QTRY_COMPARE(server.notices.size(), 3);
        QCOMPARE(server.notices[0].actions,
                 (QStringList{"default", "Open Tarnlight", "mark-read", "Mark as read", "archive", "Archive",
                              "open-in-gmail", "Open in Gmail"}));
        QCOMPARE(server.notices[2].actions, (QStringList{"default", "Open Tarnlight"}));

        server.invoke(server.notices[0].id, MailNotifier::MarkReadAction);
        server.invoke(server.notices[1].id, MailNotifier::ArchiveAction);
        QTRY_COMPARE(inboxUnread(Sandbox::MiraSub), miraBefore);
        QTRY_COMPARE(countOf(monitor, m_mira), miraBefore);
        QCOMPARE(inboxUnread(Sandbox::AlexSub), alexBefore);

        registry.get()->signOut(m_mira);
        notifier.announce(m_mira, {arrived[1]}, 1);
        QTRY_COMPARE(server.notices.size(), 4);
        server.invoke(server.notices[3].id, MailNotifier::MarkReadAction);
        QTRY_COMPARE(server.notices.size(), 5);
        QCOMPARE(server.notices[4].summary, QStringLiteral("Couldn't mark the message as read."));
        QVERIFY(!server.notices[4].body.isEmpty());
    }

    // Strangers' text reaches the server as text: escaped in the body where
    // the server reads markup, as it is where it does not; the summary is
    // plain text to every server. Either way the notice carries our icon.
    void noticesKeepMarkupAsText_data()
    {
        QTest::addColumn<bool>("markup");
        QTest::addColumn<QString>("body");
        QTest::newRow("body-markup") << true
                                     << QStringLiteral(
                                            "&lt;a href=\"https://evil.example/login\"&gt;Locked&lt;/a&gt; "
                                            "&amp; &lt;img src=x&gt;");
        QTest::newRow("plain") << false
                               << QStringLiteral(
                                      "<a href=\"https://evil.example/login\">Locked</a> & <img src=x>");
    }
    void noticesKeepMarkupAsText()
    {
        QFETCH(bool, markup);
        NotificationServer server;
        if (markup)
            server.capabilities << QStringLiteral("body-markup");
        QVERIFY(server.start());
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailNotifier notifier(*registry.get());
        EmailMessage message;
        message.threadId = QStringLiteral("t1");
        message.from = QStringLiteral("\"<b>Eve</b> & Co\" <eve@example.com>");
        message.subject = QStringLiteral("<a href=\"https://evil.example/login\">Locked</a> & <img src=x>");
        notifier.announce(m_alex, {message}, 1);
        QTRY_COMPARE(server.notices.size(), 1);
        QCOMPARE(server.notices[0].summary, message.fromDisplay());
        QVERIFY(server.notices[0].summary.contains(QStringLiteral("<b>Eve</b> & Co")));
        QTEST(server.notices[0].body, "body");
        QCOMPARE(server.notices[0].icon, QStringLiteral("app.tarnlight.Tarnlight"));
        QCOMPARE(server.notices[0].hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("app.tarnlight.Tarnlight"));
    }
};

QTEST_MAIN(UnreadTest)
#include "tst_unread.moc"
