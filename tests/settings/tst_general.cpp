// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "../shell/ShellTestSupport.h"
#include "ViewModelSupport.h"
#include "../accounts/tst_signin_support.h"
#include "shell/app/AppSettings.h"

#include <QSettings>
#include <QtTest>

#include <sys/stat.h>

using namespace shelltest;

// The General tab's choices and the refresh they drive in the popover.
class GeneralTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_resources;
    const Account m_alex = vmtest::account(QStringLiteral("alex"));

    void saveBoth(qmltest::View &view, const QString &name)
    {
        qmltest::saveLightAndDark(view, QStringLiteral("settings-") + name);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_resources.filePath(QStringLiteral("config")).toUtf8());
        TL_START_SIGN_IN_VIEWS(m_sandbox, m_resources);
    }

    void init() { m_sandbox->reset(); }

    // The General tab: defaults, each change saved at once and shown again by
    // a new window; launch at login is the autostart file itself.
    void generalChoicesArePersistedAndReloaded()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        QSettings store(m_resources.filePath(QStringLiteral("general.ini")), QSettings::IniFormat);
        store.clear();
        AppSettings::instance().useStore(&store);
        QFile::remove(AppSettings::autostartFile());
        {
            qmltest::View view;
            QVERIFY(loadSettings(view, registry.get()));
            click(view, view.find("generalTabButton"));
            QTRY_VERIFY(isShown(view.find("refreshEvery")));
            QVERIFY(!isShown(view.find("accountList")));
            QCOMPARE(view.find("refreshEvery")->property("displayText").toString(),
                     QStringLiteral("5 minutes"));
            QVERIFY(!view.find("launchAtLogin")->property("checked").toBool());
            QVERIFY(view.find("notifyNewMail")->property("checked").toBool());
            QVERIFY(view.find("remindMeetings")->property("checked").toBool());
            saveBoth(view, QStringLiteral("general"));

            QMetaObject::invokeMethod(view.find("refreshEvery"), "activated", Q_ARG(int, 0));
            QCOMPARE(AppSettings::instance().refreshMinutes(), 0);
            QCOMPARE(store.value(AppSettings::refreshKey).toInt(), 0);
            QCOMPARE(view.find("refreshEvery")->property("displayText").toString(), QStringLiteral("Off"));
            // A checkout in a folder others can write to (a clone under /tmp) gets no entry.
            const bool refused = !AppSettings::unsafeProgramReason(AppSettings::loginProgram()).isEmpty();
            click(view, view.find("launchAtLogin"));
            QCOMPARE(QFile::exists(AppSettings::autostartFile()), !refused);
            QCOMPARE(isShown(view.find("launchAtLoginRefusal")), refused);
            if (!refused) {
                QVERIFY(AppSettings::autostartFile().startsWith(m_resources.path()));
                QFile entry(AppSettings::autostartFile());
                QVERIFY(entry.open(QIODevice::ReadOnly));
                const QByteArray content = entry.readAll();
                QVERIFY(content.startsWith("[Desktop Entry]\n"));
                QVERIFY(content.contains(
                    "\nExec=" + AppSettings::execValue(AppSettings::loginProgram()).toUtf8() + "\n"));
            }
            click(view, view.find("notifyNewMail"));
            QVERIFY(!store.value(AppSettings::notifyKey).toBool());
            click(view, view.find("remindMeetings"));
            QVERIFY(!store.value(AppSettings::remindKey).toBool());
        }
        qmltest::View again;
        QVERIFY(loadSettings(again, registry.get()));
        click(again, again.find("generalTabButton"));
        QTRY_VERIFY(isShown(again.find("refreshEvery")));
        QCOMPARE(again.find("refreshEvery")->property("displayText").toString(), QStringLiteral("Off"));
        const bool entryWritten = QFile::exists(AppSettings::autostartFile());
        QCOMPARE(again.find("launchAtLogin")->property("checked").toBool(), entryWritten);
        QVERIFY(!again.find("notifyNewMail")->property("checked").toBool());
        QVERIFY(!again.find("remindMeetings")->property("checked").toBool());

        // Turning it off removes the file again.
        if (entryWritten)
            click(again, again.find("launchAtLogin"));
        QVERIFY(!QFile::exists(AppSettings::autostartFile()));
        QVERIFY(!again.find("launchAtLogin")->property("checked").toBool());
        AppSettings::instance().useStore(nullptr);
    }

    // Values edited by hand read as we would have written them or, when they
    // do not parse, as the defaults: a word in place of minutes is not "Off".
    void handEditedValuesFallBackToDefaults_data()
    {
        QTest::addColumn<QByteArray>("refresh");
        QTest::addColumn<QByteArray>("notify");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("notifies");
        QTest::newRow("written by us") << QByteArray("15") << QByteArray("false") << 15 << false;
        QTest::newRow("off") << QByteArray("0") << QByteArray("0") << 0 << false;
        QTest::newRow("words") << QByteArray("abc") << QByteArray("abc") << 5 << true;
        QTest::newRow("empty") << QByteArray("") << QByteArray("") << 5 << true;
        QTest::newRow("not offered") << QByteArray("7") << QByteArray("1") << 5 << true;
        QTest::newRow("fraction") << QByteArray("0.5") << QByteArray("TRUE") << 5 << true;
        QTest::newRow("negative") << QByteArray("-1") << QByteArray("no") << 5 << true;
    }
    void handEditedValuesFallBackToDefaults()
    {
        QFETCH(QByteArray, refresh);
        QFETCH(QByteArray, notify);
        const QString path = m_resources.filePath(QStringLiteral("edited.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[General]\ntarnlight.refreshMinutes=" + refresh + "\ntarnlight.notifyNewMail=" + notify
                   + "\n");
        file.close();
        QSettings store(path, QSettings::IniFormat);
        AppSettings::instance().useStore(&store);
        QTEST(AppSettings::instance().refreshMinutes(), "minutes");
        QTEST(AppSettings::instance().notifyNewMail(), "notifies");
        AppSettings::instance().useStore(nullptr);
    }

    // The Exec value as the desktop entry format reads it: reserved
    // characters quote the path, and the string escape comes on top.
    void execValueIsQuotedAndEscaped_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/tarnlight"
                               << "/usr/bin/tarnlight";
        QTest::newRow("space") << "/opt/my apps/tarnlight"
                               << "\"/opt/my apps/tarnlight\"";
        QTest::newRow("quote") << "/opt/a\"b/tarnlight"
                               << "\"/opt/a\\\\\"b/tarnlight\"";
        QTest::newRow("dollar") << "/opt/$HOME/t"
                                << "\"/opt/\\\\$HOME/t\"";
        QTest::newRow("backtick") << "/opt/`id`/t"
                                  << "\"/opt/\\\\`id\\\\`/t\"";
        QTest::newRow("backslash") << "/opt/a\\b/t"
                                   << "\"/opt/a\\\\\\\\b/t\"";
        QTest::newRow("percent unquoted") << "/opt/100%/t"
                                          << "/opt/100%%/t";
        QTest::newRow("percent quoted") << "/opt/100% x/t"
                                        << "\"/opt/100%% x/t\"";
        QTest::newRow("other reserved") << "/opt/a;b&c/t"
                                        << "\"/opt/a;b&c/t\"";
        QTest::newRow("newline") << "/opt/a\nExec=evil/t" << QString();
        QTest::newRow("tab") << "/opt/a\tb/t" << QString();
        QTest::newRow("delete") << "/opt/a\x7f/t" << QString();
    }
    void execValueIsQuotedAndEscaped()
    {
        QFETCH(QString, program);
        QTEST(AppSettings::execValue(program), "exec");
    }

    // A program that another user could replace, or whose folder another user
    // could fill again, never starts at login; a folder of our own does.
    void programsOthersCanChangeAreRefused_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("programMode");
        QTest::addColumn<bool>("refused");
        QTest::newRow("ours") << 0755 << 0755 << false;
        QTest::newRow("world-writable folder") << 0777 << 0755 << true;
        QTest::newRow("sticky folder") << 01777 << 0755 << true;
        QTest::newRow("group-writable folder") << 0775 << 0755 << true;
        QTest::newRow("world-writable program") << 0755 << 0757 << true;
        QTest::newRow("group-writable program") << 0755 << 0775 << true;
    }
    void programsOthersCanChangeAreRefused()
    {
        QFETCH(int, folderMode);
        QFETCH(int, programMode);
        // Beside the test binary: the temporary folder itself is one others write to.
        QTemporaryDir root(QCoreApplication::applicationDirPath() + QStringLiteral("/autostart-XXXXXX"));
        QVERIFY(root.isValid());
        const QString folder = root.filePath(QStringLiteral("bin"));
        const QString program = folder + QStringLiteral("/tarnlight");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile(program).open(QIODevice::WriteOnly));
        QCOMPARE(::chmod(QFile::encodeName(program).constData(), programMode), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), folderMode), 0);
        QFETCH(bool, refused);
        if (!refused && !AppSettings::unsafeProgramReason(QCoreApplication::applicationFilePath()).isEmpty())
            QSKIP("This build lies in a folder other users can write to.");
        QCOMPARE(!AppSettings::unsafeProgramReason(program).isEmpty(), refused);
        if (refused)
            QVERIFY(
                AppSettings::unsafeProgramReason(program).contains(QStringLiteral("other users can change")));
    }

    // An installed copy on PATH in a system folder is preferred to the
    // running binary; a build in a folder of our own under /tmp is refused,
    // as /tmp is emptied at boot and anyone may fill our path again.
    void loginProgramIsTheInstalledOne()
    {
        QTemporaryDir folder(QStringLiteral("/tmp/tarnlight-XXXXXX"));
        const QString program = folder.filePath(QStringLiteral("tarnlight"));
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        file.close();
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(folder.path()));
        QCOMPARE(AppSettings::loginProgram({folder.path()}), program);
        QCOMPARE(AppSettings::loginProgram({QStringLiteral("/usr/bin")}),
                 QCoreApplication::applicationFilePath());
        qputenv("PATH", path);

        QVERIFY(AppSettings::unsafeProgramReason(program).contains(QStringLiteral("/tmp")));
        QVERIFY(!AppSettings::unsafeProgramReason(folder.filePath(QStringLiteral("gone"))).isEmpty());
    }

    // The button reloads the shown tab; the interval timer runs only while
    // an interval is chosen, and "Off" leaves no timer running.
    void refreshReloadsTheShownTab()
    {
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex));
        vmtest::Registry registry({m_alex}, m_alex.id);
        QSettings store(m_resources.filePath(QStringLiteral("refresh.ini")), QSettings::IniFormat);
        store.clear();
        AppSettings::instance().useStore(&store);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        const auto lists = [this] {
            int count = 0;
            for (const QJsonObject &entry :
                 vmtest::requestsTo(*m_sandbox, QStringLiteral("/gmail/v1/users/me/messages")))
                count += entry.value(QStringLiteral("path")).toString() == u"/gmail/v1/users/me/messages";
            return count;
        };
        QTRY_VERIFY(view.find("refreshButton")->isEnabled());
        QTRY_COMPARE(lists(), 1);
        auto *timer = view.find<QObject>("refreshTimer");
        QVERIFY(timer->property("running").toBool());
        QCOMPARE(timer->property("interval").toInt(), 5 * 60000);

        click(view, view.find("refreshButton"));
        QTRY_COMPARE(lists(), 2);
        QMetaObject::invokeMethod(timer, "triggered");
        QTRY_COMPARE(lists(), 3);

        AppSettings::instance().setRefreshMinutes(0);
        QVERIFY(!timer->property("running").toBool());
        AppSettings::instance().setRefreshMinutes(15);
        QCOMPARE(timer->property("interval").toInt(), 15 * 60000);
        view.window.hide();
        QVERIFY(!timer->property("running").toBool());
        AppSettings::instance().useStore(nullptr);
        vmtest::removeSession(m_alex);
    }
};

QTEST_MAIN(GeneralTest)
#include "tst_general.moc"
