// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "../shell/ShellTestSupport.h"
#include "BearerAuthorizer.h"
#include "TaskRunner.h"
#include "ViewModelSupport.h"
#include "../accounts/tst_signin_support.h"
#include "mail/GmailLabels.h"
#include "mail/GmailService.h"
#include "mail/MailLabelChoice.h"
#include "calendar/CalendarChoice.h"

#include <QtTest>

using namespace shelltest;

// The labels the Mail tab lists: the picker in the Accounts tab, and the
// listing of unread mail carrying any chosen label, against the sandbox.
class LabelsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_resources;
    const Account m_alex = vmtest::account(QStringLiteral("alex"));

    std::shared_ptr<rest::Authorizer> alex()
    {
        const QString token = m_sandbox->accessToken(Sandbox::AlexSub);
        return std::make_shared<BearerAuthorizer>(token.toUtf8());
    }

    QString deliver(const QString &subject, const QJsonArray &labels)
    {
        return m_sandbox
            ->control("POST", QStringLiteral("mail"),
                      QJsonObject{{"sub", Sandbox::AlexSub},
                                  {"from", "Sofia Rossi <sofia@example.it>"},
                                  {"subject", subject},
                                  {"labelIds", labels}})
            .toObject()
            .value("id")
            .toString();
    }

    QStringList unreadIn(const QStringList &labels, unsigned max = 25)
    {
        auto outcome = runTask(gmail::unreadInAny(alex(), labels, max));
        if (outcome.error)
            qWarning() << *outcome.error;
        QStringList ids;
        for (const EmailMessage &message : outcome.value.value_or(QList<EmailMessage>())) {
            if (!message.isUnread)
                return {QStringLiteral("read message listed: ") + message.id};
            ids.append(message.id);
        }
        return ids;
    }

    QStringList gmailList(const QStringList &labels)
    {
        // Kept in a local: a range over a temporary's member would dangle.
        const QList<EmailMessage> listed =
            runTask(GmailService::list(alex(), labels, 100)).value.value_or(QList<EmailMessage>());
        QStringList ids;
        for (const EmailMessage &message : listed)
            ids.append(message.id);
        return ids;
    }

private slots:
    void initTestCase() { TL_START_SIGN_IN_VIEWS(m_sandbox, m_resources); }

    void init() { m_sandbox->reset(); }

    // Unread mail under any chosen label, each once, newest first; read mail
    // and mail under other labels stay out; at most as many as asked.
    void listsUnreadMailCarryingAnyChosenLabel()
    {
        const QStringList inbox = gmailList({"INBOX", "UNREAD"});
        const QStringList travel = gmailList({"Label_3", "UNREAD"});
        QCOMPARE(travel.size(), 1);
        QVERIFY(!inbox.contains(travel.first()));
        const QString starred = deliver(QStringLiteral("Starred, not in the inbox"), {"STARRED", "UNREAD"});
        const QString both = deliver(QStringLiteral("Inbox and travel"), {"INBOX", "Label_3", "UNREAD"});
        deliver(QStringLiteral("Read travel mail"), {"Label_3"});
        deliver(QStringLiteral("Unread receipt"), {"Label_1", "UNREAD"});

        const QStringList listed = unreadIn({"INBOX", "Label_3", "STARRED"});
        QCOMPARE(listed.mid(0, 2), (QStringList{both, starred}));
        QCOMPARE(listed.mid(2), inbox + travel);
        QCOMPARE(unreadIn({"INBOX", "Label_3", "STARRED"}, 3), listed.mid(0, 3));
        // One label is Gmail's own list.
        QCOMPARE(unreadIn({"Label_3"}), (QStringList{both} + travel));
    }

    void deletedLabelListsNothingWithoutError()
    {
        const QStringList inbox = gmailList({"INBOX", "UNREAD"});
        m_sandbox->control("POST", QStringLiteral("delete-label"),
                           QJsonObject{{"sub", Sandbox::AlexSub}, {"id", "Label_3"}});
        QCOMPARE(unreadIn({"INBOX", "Label_3"}), inbox);
        QCOMPARE(unreadIn({"Label_3", "STARRED"}), QStringList());
    }

    // Each account has its own choice; a sign-out forgets only the leaving one's.
    void signOutForgetsTheAccountsChoice()
    {
        const Account mira = vmtest::account(QStringLiteral("mira"));
        vmtest::Registry registry({m_alex, mira}, m_alex.id);
        MailLabelChoice &choice = MailLabelChoice::of(*registry.get());
        choice.setLabelIds(m_alex.id, {"Label_3"});
        choice.setLabelIds(mira.id, {"STARRED"});
        const QSettings &store = registry.get()->settingsStore();
        QCOMPARE(store.value(MailLabelChoice::KeyPrefix + m_alex.id).toStringList(), QStringList{"Label_3"});
        registry.get()->signOut(m_alex);
        QVERIFY(!store.contains(MailLabelChoice::KeyPrefix + m_alex.id));
        QCOMPARE(choice.labelIds(m_alex.id), QStringList{"INBOX"});
        QCOMPARE(choice.labelIds(mira.id), QStringList{"STARRED"});
    }

    // The picker offers Inbox, Starred, Important and the user labels by
    // name; a choice is saved at once and shown again; a label deleted in
    // Gmail drops out of the choice without an error.
    void pickerSavesTheChoiceAndDropsDeletedLabels()
    {
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex, Sandbox::AlexSub));
        vmtest::Registry registry({m_alex}, m_alex.id);
        GoogleAuthService *auth = registry.get();
        qmltest::View view;
        QVERIFY(loadSettings(view, auth));
        const auto choice = [&view](const QString &id) {
            return findItem(view, QStringLiteral("labelChoice:") + id);
        };
        click(view, findItem(findItem(view, QStringLiteral("accountRow:") + m_alex.id),
                             QStringLiteral("labelsButton")));
        QTRY_VERIFY(isShown(choice("Label_2")));
        const QStringList order{"INBOX", "STARRED", "IMPORTANT", "Label_4", "Label_1", "Label_3", "Label_2"};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY2(choice(order[i - 1])->y() < choice(order[i])->y(), qPrintable(order[i]));
        for (const QString &id : {"SENT", "UNREAD", "TRASH", "CATEGORY_UPDATES"})
            QVERIFY(!choice(id));
        QCOMPARE(text(choice("INBOX")), QStringLiteral("Inbox"));
        QCOMPARE(text(choice("Label_3")), QStringLiteral("Travel/\u00c5lesund 2025"));
        QCOMPARE(findItem(choice("Label_3"), "labelChoiceText")->property("textFormat").toInt(),
                 0 /* plain */);
        QVERIFY(choice("INBOX")->property("checked").toBool());
        QVERIFY(!choice("Label_3")->property("checked").toBool());

        click(view, choice("Label_3"));
        click(view, choice("STARRED"));
        QCOMPARE(MailLabelChoice::of(*auth).labelIds(m_alex.id),
                 (QStringList{"INBOX", "Label_3", "STARRED"}));
        view.save(QStringLiteral("settings-labels"));
        click(view, findItem(view, "labelPickerDone"));
        QTRY_VERIFY(!isShown(choice("Label_3")));

        m_sandbox->control("POST", QStringLiteral("delete-label"),
                           QJsonObject{{"sub", Sandbox::AlexSub}, {"id", "Label_3"}});
        qmltest::View again;
        QVERIFY(loadSettings(again, auth));
        click(again, findItem(findItem(again, QStringLiteral("accountRow:") + m_alex.id),
                              QStringLiteral("labelsButton")));
        QTRY_VERIFY(isShown(findItem(again, "labelChoice:STARRED")));
        QVERIFY(findItem(again, "labelChoice:STARRED")->property("checked").toBool());
        QVERIFY(!findItem(again, "labelChoice:Label_3"));
        QVERIFY(!isShown(findItem(again, "labelPickerError")));
        QCOMPARE(MailLabelChoice::of(*auth).labelIds(m_alex.id), (QStringList{"INBOX", "STARRED"}));
        vmtest::removeSession(m_alex);
    }
    // "Calendars…" lists the account's calendars with their colours, the
    // primary one ticked at first; a choice is saved at once and shown again;
    // a chosen calendar no longer on the list (removed at Google) drops out.
    void calendarPickerSavesTheChoiceAndDropsRemovedCalendars()
    {
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex, Sandbox::AlexSub));
        vmtest::Registry registry({m_alex}, m_alex.id);
        GoogleAuthService *auth = registry.get();
        const QString team = QStringLiteral("team.tarn@group.calendar.google.com");
        const auto open = [&](qmltest::View &view) {
            QVERIFY(loadSettings(view, auth));
            click(view, findItem(findItem(view, QStringLiteral("accountRow:") + m_alex.id),
                                 QStringLiteral("calendarsButton")));
        };
        const auto choice = [](qmltest::View &view, const QString &id) {
            return findItem(view, QStringLiteral("calendarChoice:") + id);
        };
        qmltest::View view;
        open(view);
        QTRY_VERIFY(isShown(choice(view, team)));
        QCOMPARE(text(findItem(choice(view, team), "calendarChoiceText")), QStringLiteral("Team Tarn"));
        QCOMPARE(findItem(choice(view, team), "calendarSwatch")->property("color").value<QColor>(),
                 QColor(QStringLiteral("#16a765")));
        QVERIFY(!choice(view, team)->property("checked").toBool());
        click(view, choice(view, team));
        QCOMPARE(CalendarChoice::of(*auth).ids(m_alex.id).size(), 2);
        QVERIFY(CalendarChoice::of(*auth).ids(m_alex.id).contains(team));
        view.save(QStringLiteral("settings-calendars"));

        CalendarChoice::of(*auth).setIds(m_alex.id, CalendarChoice::of(*auth).ids(m_alex.id)
                                                        << QStringLiteral("gone@group.calendar.google.com"));
        qmltest::View again;
        open(again);
        QTRY_VERIFY(isShown(choice(again, team)));
        QVERIFY(choice(again, team)->property("checked").toBool());
        QVERIFY(!isShown(findItem(again, "calendarPickerError")));
        QCOMPARE(CalendarChoice::of(*auth).ids(m_alex.id).size(), 2);
        QVERIFY(!CalendarChoice::of(*auth).ids(m_alex.id).contains(
            QStringLiteral("gone@group.calendar.google.com")));
        vmtest::removeSession(m_alex);
    }
};

QTEST_MAIN(LabelsTest)
#include "tst_labels.moc"
