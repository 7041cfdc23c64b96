// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The tabs without the network, after sleep and across restarts: the rows
// kept on disk, what is sent (nothing) while offline, and the one refresh
// when the network or the machine comes back.

#include "DesktopServices.h"
#include "ViewModelSupport.h"
#include "calendar/CalendarViewModel.h"
#include "drive/DriveViewModel.h"
#include "mail/MailViewModel.h"
#include "mail/UnreadMonitor.h"
#include "shell/app/AppSettings.h"
#include "shell/app/TarnlightApp.h"
#include "support/Connectivity.h"
#include "support/ListCache.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonDocument>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

using vmtest::requestsTo;

namespace {

constexpr int Slow = 15000;
const QString ListPath = QStringLiteral("/gmail/v1/users/me/messages");
const QString UnreadPath = QStringLiteral("/gmail/v1/users/me/labels/");
const QString DriveListPath = QStringLiteral("/drive/v3/files");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QFile::Permissions permissionsOf(const QString &path)
{
    return QFileInfo(path).permissions()
           & (QFile::ReadUser | QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ReadOther
              | QFile::WriteGroup | QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther);
}

} // namespace

class OfflineTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    QProcess m_systemBus;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<QSettings> m_settings;

    // Requests to exactly this path: a list, not the gets of its items.
    qsizetype requestsAt(const QString &path)
    {
        const auto sent = requestsTo(*m_sandbox, path);
        return std::count_if(sent.begin(), sent.end(), [&](const QJsonObject &entry) {
            return entry.value(QStringLiteral("path")).toString() == path;
        });
    }

    template<typename Model>
    static bool loadOnline(Model &model)
    {
        Connectivity::instance().setOnline(true);
        return runTask(model.refresh(), Slow).finished && model.state() == LoadState::loaded();
    }

    // A bus of this test's own in place of the system bus, where it plays logind.
    bool startSystemBus()
    {
        m_systemBus.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (!m_systemBus.waitForReadyRead(5000))
            return false;
        const QByteArray address = m_systemBus.readLine().trimmed();
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
        return QDBusConnection::systemBus().isConnected();
    }

    static void sendPrepareForSleep(bool sleeping)
    {
        QDBusConnection logind = QDBusConnection::connectToBus(QDBusConnection::SystemBus,
                                                               QStringLiteral("logind"));
        logind.registerService(QStringLiteral("org.freedesktop.login1"));
        auto signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                 QStringLiteral("org.freedesktop.login1.Manager"),
                                                 QStringLiteral("PrepareForSleep"));
        signal << sleeping;
        logind.send(signal);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(startSystemBus());
        TL_START_TAB_PROVIDER(m_sandbox);
        m_settings = std::make_unique<QSettings>(m_settingsDir.filePath(QStringLiteral("app.ini")),
                                                 QSettings::IniFormat);
        AppSettings::instance().useStore(m_settings.get());
        AppSettings::instance().setRefreshMinutes(0);
    }

    void init()
    {
        Connectivity::instance().setOnline(true);
        QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_mira, Sandbox::MiraSub}}));
    }

    void cleanupTestCase()
    {
        m_systemBus.kill();
        m_systemBus.waitForFinished();
    }

    // Each tab's rows come back from disk as they were listed, owner-only,
    // and a start offline shows them at once without sending anything.
    void startOfflineShowsTheKeptRowsAndSendsNothing()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        // The run before: it listed each tab, and is gone.
        auto mail = std::make_unique<MailViewModel>();
        auto calendar = std::make_unique<CalendarViewModel>();
        auto drive = std::make_unique<DriveViewModel>();
        for (AccountBoundModel *model :
             std::initializer_list<AccountBoundModel *>{mail.get(), calendar.get(), drive.get()})
            model->attach(registry.get());
        QVERIFY(loadOnline(*mail) && loadOnline(*calendar) && loadOnline(*drive));
        QVERIFY(!mail->messages().isEmpty() && !calendar->events().isEmpty() && !drive->items().isEmpty());
        const auto messages = mail->messages();
        const auto events = calendar->events();
        const auto items = drive->items();
        mail.reset();
        calendar.reset();
        drive.reset();
        const QString folder = support::listcache::accountFolder(m_alex.id);
        QCOMPARE(permissionsOf(support::listcache::directory()),
                 QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        QCOMPARE(permissionsOf(folder), QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        QCOMPARE(permissionsOf(support::listcache::filePath(m_alex.id, QStringLiteral("mail"))),
                 QFile::ReadUser | QFile::WriteUser);

        Connectivity::instance().setOnline(false);
        m_sandbox->clearLog();
        MailViewModel mailAgain;
        CalendarViewModel calendarAgain;
        DriveViewModel driveAgain;
        for (AccountBoundModel *model :
             std::initializer_list<AccountBoundModel *>{&mailAgain, &calendarAgain, &driveAgain}) {
            model->attach(registry.get());
            QVERIFY(runTask(model->refresh()).finished);
            QVERIFY(model->state().isLoaded());
            QVERIFY2(model->state().note.startsWith(QStringLiteral("Offline — updated")),
                     qPrintable(model->state().note));
        }
        QCOMPARE(mailAgain.messages(), messages);
        // The list keeps what a row and its card show; reminders and the iCalendar
        // id (only every-account views read it, and those are not kept) come with the next load.
        const auto shown = [](QList<CalendarEvent> list) {
            for (CalendarEvent &event : list) {
                event.description.reset();
                event.iCalUID.clear();
                event.reminderMinutes.clear();
                event.remindersUseDefault = true;
            }
            return list;
        };
        QCOMPARE(calendarAgain.events(), shown(events));
        QCOMPARE(driveAgain.items(), items);
        QCOMPARE(m_sandbox->requestLog().size(), 0);

        // Back online: each tab that has loaded refreshes once, and the note goes.
        Connectivity::instance().setOnline(true);
        TL_WAIT(
            [&] {
                return mailAgain.state() == LoadState::loaded() && driveAgain.state() == LoadState::loaded()
                       && calendarAgain.state() == LoadState::loaded();
            },
            Slow, "the reloads");
        QCOMPARE(requestsAt(ListPath), 1);
        QCOMPARE(requestsAt(DriveListPath), 1);
    }

    // Without kept rows, offline is said in the error panel; a list whose
    // network goes away keeps its rows under the note.
    void offlineWithoutKeptRows()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        Connectivity::instance().setOnline(false);
        MailViewModel mail;
        mail.attach(registry.get());
        QVERIFY(runTask(mail.refresh()).finished);
        QVERIFY(mail.state().isError());
        QVERIFY(mail.messages().isEmpty());
        QCOMPARE(m_sandbox->requestLog().size(), 0);

        QVERIFY(loadOnline(mail));
        Connectivity::instance().setOnline(false);
        QVERIFY(mail.state().isLoaded());
        QVERIFY(mail.state().note.startsWith(QStringLiteral("Offline — updated")));
    }

    // The note keeps its age true while the list is shown.
    void offlineNoteKeepsItsAge()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        {
            MailViewModel first;
            first.attach(registry.get());
            QVERIFY(loadOnline(first));
        }
        // Kept a moment under a minute ago: "now" turns into "1 min ago" on its own.
        const QString path = support::listcache::filePath(m_alex.id, QStringLiteral("mail"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject kept = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        kept.insert("savedAt", QDateTime::currentMSecsSinceEpoch() - 59000);
        QVERIFY(writeFile(path, QJsonDocument(kept).toJson()));
        AccountBoundModel::setNoteIntervalForTests(100);
        Connectivity::instance().setOnline(false);
        MailViewModel mail;
        mail.attach(registry.get());
        QVERIFY(runTask(mail.refresh()).finished);
        QCOMPARE(mail.state().note, QStringLiteral("Offline — updated now"));
        TL_WAIT([&] { return mail.state().note == QStringLiteral("Offline — updated 1 min. ago"); }, 5000,
                "the note to age");
        AccountBoundModel::setNoteIntervalForTests(60000);
    }

    // A damaged, hostile or oversized file shows nothing, is removed, and
    // the next load writes it again.
    void damagedCacheIsIgnoredAndRewritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not json") << QByteArray("{\"version\":1,\"rows\":[{\"id\"");
        QTest::newRow("wrong shape") << QByteArray(R"({"version":1,"savedAt":"soon","rows":{}})");
        QTest::newRow("other version") << QByteArray(R"({"version":7,"savedAt":0,"rows":[]})");
        QTest::newRow("too large") << QByteArray(R"({"version":1,"savedAt":0,"rows":[")")
                                          + QByteArray(support::listcache::MaxAccountBytes, 'x')
                                          + QByteArray(R"("]})");
    }

    void damagedCacheIsIgnoredAndRewritten()
    {
        QFETCH(QByteArray, bytes);
        const QString path = support::listcache::filePath(m_alex.id, QStringLiteral("mail"));
        vmtest::Registry registry({m_alex}, m_alex.id);
        {
            MailViewModel first;
            first.attach(registry.get());
            QVERIFY(loadOnline(first));
        }
        QVERIFY(writeFile(path, bytes));
        Connectivity::instance().setOnline(false);
        MailViewModel mail;
        mail.attach(registry.get());
        QVERIFY(runTask(mail.refresh()).finished);
        QVERIFY(mail.messages().isEmpty());
        QVERIFY(mail.state().isError());
        QVERIFY(!QFile::exists(path));

        QVERIFY(loadOnline(mail));
        QVERIFY(support::listcache::read(m_alex.id, QStringLiteral("mail")).has_value());
    }

    // Rows of the wrong types read back as text only, cut to size; rows
    // without an id, and a time in the future, do not survive.
    void keptRowsAreCheckedOnTheWayBack()
    {
        const QString path = support::listcache::filePath(m_alex.id, QStringLiteral("mail"));
        QVERIFY(support::listcache::write(m_alex.id, QStringLiteral("mail"), {}));
        const QByteArray longText(3 * support::listcache::MaxText, 'a');
        const QByteArray future = QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 86400000);
        QVERIFY(writeFile(path, R"({"version":1,"savedAt":)" + future
                                    + R"(,"rows":[{"id":5},{"subject":"no id"},)"
                                      R"({"id":"m1","subject":["x"],"from":")"
                                    + longText + R"(","date":"yesterday","isUnread":"yes"}]})"));
        const auto entry = support::listcache::read(m_alex.id, QStringLiteral("mail"));
        QVERIFY(entry);
        QVERIFY(entry->savedAt <= QDateTime::currentDateTimeUtc());

        vmtest::Registry registry({m_alex}, m_alex.id);
        Connectivity::instance().setOnline(false);
        MailViewModel mail;
        mail.attach(registry.get());
        QVERIFY(runTask(mail.refresh()).finished);
        QCOMPARE(mail.messages().size(), 1);
        const EmailMessage &kept = mail.messages().first();
        QCOMPARE(kept.id, QStringLiteral("m1"));
        QCOMPARE(kept.subject, QString());
        QCOMPARE(kept.from.size(), support::listcache::MaxText);
        QVERIFY(!kept.date);
        QVERIFY(!kept.isUnread);
    }

    void signOutRemovesTheAccountsCache()
    {
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        MailViewModel mail;
        mail.attach(registry.get());
        QVERIFY(loadOnline(mail));
        registry.get()->setActive(m_mira);
        TL_WAIT([&] { return mail.state() == LoadState::loaded() && mail.listAccount()->id == m_mira.id; },
                Slow, "Mira's list");
        QVERIFY(QFile::exists(support::listcache::filePath(m_mira.id, QStringLiteral("mail"))));

        registry.get()->signOut(m_alex);
        QVERIFY(!QFileInfo::exists(support::listcache::accountFolder(m_alex.id)));
        QVERIFY(QFile::exists(support::listcache::filePath(m_mira.id, QStringLiteral("mail"))));
    }

    // Offline the unread check sends nothing however it is asked; the
    // network coming back makes one check.
    void unreadCheckWaitsForTheNetwork()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        TarnlightApp app(*registry.get());
        Connectivity::instance().setOnline(false);
        m_sandbox->clearLog();
        QVERIFY(runTask(app.unread().checkNow()).finished);
        QCOMPARE(m_sandbox->requestLog().size(), 0);

        Connectivity::instance().setOnline(true);
        TL_WAIT([&] { return !app.unread().counts().isEmpty(); }, Slow, "the check");
        QCOMPARE(requestsTo(*m_sandbox, UnreadPath).size(), 1);
    }

    // logind's wake: the shown list refreshes once, the unread check runs
    // once, and five mails that came in asleep make one summary notice.
    void wakeRefreshesOnceAndSummarises()
    {
        NotificationServer notices;
        QVERIFY(notices.start());
        vmtest::Registry registry({m_alex}, m_alex.id);
        TarnlightApp app(*registry.get());
        Connectivity::instance().followSleep();
        MailViewModel mail;
        mail.attach(registry.get());
        QVERIFY(loadOnline(mail));

        // The first check after start only learns what is unread.
        sendPrepareForSleep(false);
        // Its answer must be read before the night's mail arrives, or some of it counts as known.
        TL_WAIT(
            [&] {
                return requestsTo(*m_sandbox, UnreadPath).size() == 1 && !app.unread().counts().isEmpty()
                       && mail.state().isLoaded();
            },
            Slow, "the first check");
        sendPrepareForSleep(true);
        for (int i = 0; i < 5; ++i) {
            m_sandbox->control("POST", QStringLiteral("mail"),
                               QJsonObject{{"sub", Sandbox::AlexSub},
                                           {"from", "Sofia Rossi <sofia@example.it>"},
                                           {"subject", QStringLiteral("Night %1").arg(i)}});
        }
        m_sandbox->clearLog();
        int loads = 0;
        connect(&mail, &AccountBoundModel::stateChanged, this, [&] { loads += mail.state().isLoading(); });
        sendPrepareForSleep(false);
        TL_WAIT([&] { return notices.notices.size() == 1 && mail.state().isLoaded(); }, Slow, "the summary");
        QCOMPARE(notices.notices[0].summary, QStringLiteral("5 new messages"));
        QCOMPARE(requestsTo(*m_sandbox, UnreadPath).size(), 1);
        QCOMPARE(loads, 1);
    }
};

QTEST_MAIN(OfflineTest)
#include "tst_offline.moc"
