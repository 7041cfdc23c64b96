// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// "All accounts" over the sandbox with Alex and Mira signed in: the tabs'
// real QML and view models, offscreen; screenshots under build/screenshots.

#include "QmlTestSupport.h"
#include "ViewModelSupport.h"
#include "accounts/AccountColour.h"
#include "brief/BriefViewModel.h"
#include "calendar/CalendarChoice.h"
#include "calendar/CalendarEventList.h"
#include "calendar/CalendarViewModel.h"
#include "mail/MailViewModel.h"

#include <QJsonArray>
#include <QQuickItem>

using qmltest::click;
using qmltest::findItem;

namespace {

const QUrl MailUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Mail/MailTabView.qml"));
const QUrl CalendarUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Calendar/CalendarTabView.qml"));
const QUrl BriefUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Brief/BriefView.qml"));
const QUrl DriveUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Drive/DriveTabView.qml"));
constexpr int Slow = 15000;
// Mira's ids follow Alex's: "18f0000000001001" onwards.
const QString MiraIDs = QStringLiteral("18f00000000010");

bool isMiras(const EmailMessage &message)
{
    return message.id.startsWith(MiraIDs);
}

// Dated rows newest first; a row without a date keeps its place among its
// own account's rows.
bool newestFirst(const QList<EmailMessage> &rows)
{
    QDateTime previous;
    for (const auto &message : rows) {
        if (!message.date)
            continue;
        if (previous.isValid() && *message.date > previous)
            return false;
        previous = *message.date;
    }
    return true;
}

} // namespace

class AllAccountsTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    // Both accounts listed, Alex active, "All accounts" chosen.
    struct Both
    {
        vmtest::Registry registry;
        explicit Both(const TabFixture &f) : registry({f.m_alex, f.m_mira}, f.m_alex.id)
        {
            registry.get()->showAllAccounts();
        }
    };

    QQuickItem *open(qmltest::View &view, GoogleAuthService *auth, const QUrl &url)
    {
        view.provide(auth);
        return view.loadUrl(url, QSize(380, 320));
    }

    // "Planning" in 20 minutes, in both calendars as Google has it for two
    // guests: one iCalendar id, one start.
    void addSharedPlanning()
    {
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(20 * 60);
        for (const QString &sub : {Sandbox::AlexSub, Sandbox::MiraSub})
            QVERIFY(m_sandbox
                        ->control("POST", QStringLiteral("event"),
                                  QJsonObject{{"sub", sub},
                                              {"id", "sharedplanning"},
                                              {"summary", "Planning"},
                                              {"start", start.toString(Qt::ISODate)}})
                        .toObject()
                        .value("ok")
                        .toBool());
    }

    MailViewModel *mailOf(qmltest::View &view) { return view.root->findChild<MailViewModel *>(); }

    QQuickItem *mailRow(qmltest::View &view, const QString &id)
    {
        return findItem(view.root.get(), QStringLiteral("mailRow:") + id);
    }

    // The message's row, scrolled into the list's view (rows out of view have no item).
    QQuickItem *shownRow(qmltest::View &view, const QString &id)
    {
        const auto &rows = mailOf(view)->messages();
        const auto found = std::find_if(rows.cbegin(), rows.cend(),
                                        [&](const auto &m) { return m.id == id; });
        QMetaObject::invokeMethod(view.find("mailList"), "positionViewAtIndex",
                                  Q_ARG(int, int(found - rows.cbegin())), Q_ARG(int, 0));
        return mailRow(view, id);
    }

    // Waits until rows of both accounts are listed and the load has ended.
    bool bothListed(qmltest::View &view)
    {
        return QTest::qWaitFor(
            [&] {
                const auto &rows = mailOf(view)->messages();
                return mailOf(view)->state().isLoaded() && std::any_of(rows.cbegin(), rows.cend(), isMiras)
                       && !std::all_of(rows.cbegin(), rows.cend(), isMiras);
            },
            Slow);
    }

    QString firstMiraID(qmltest::View &view)
    {
        for (const auto &message : mailOf(view)->messages())
            if (isMiras(message))
                return message.id;
        return {};
    }

private slots:
    void initTestCase() { TL_START_TAB_VIEWS(m_sandbox); }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_mira, Sandbox::MiraSub}})); }

    void mailMergesEveryAccountNewestFirstWithItsDot()
    {
        Both both(*this);
        qmltest::View view;
        QVERIFY(open(view, both.registry.get(), MailUrl));
        QVERIFY(bothListed(view));
        const auto rows = mailOf(view)->messages();
        // Alex's 12 unread and Mira's 3, within the 25 shown.
        QCOMPARE(rows.size(), 15);
        QCOMPARE(std::count_if(rows.cbegin(), rows.cend(), isMiras), 3);
        QVERIFY(newestFirst(rows));
        for (const auto &message : rows) {
            const Account &owner = isMiras(message) ? m_mira : m_alex;
            const Account &other = isMiras(message) ? m_alex : m_mira;
            QQuickItem *row = shownRow(view, message.id);
            QVERIFY2(row, qPrintable(message.id));
            QQuickItem *dot = findItem(row, QStringLiteral("accountDot:") + owner.id);
            QVERIFY2(dot && dot->isVisible(), qPrintable(message.id));
            QVERIFY(!findItem(row, QStringLiteral("accountDot:") + other.id));
            QCOMPARE(dot->property("color").value<QColor>(), accountColour(owner.id));
            QCOMPARE(findItem(dot, "accountDotInitials")->property("text").toString(), owner.initials());
        }
        QMetaObject::invokeMethod(view.find("mailList"), "positionViewAtBeginning");
        qmltest::saveLightAndDark(view, QStringLiteral("all-accounts-mail"));

        // Back to one account: its rows alone, without dots.
        both.registry.get()->setActive(m_mira);
        QTRY_VERIFY_WITH_TIMEOUT(mailOf(view)->state().isLoaded() && mailOf(view)->messages().size() == 3,
                                 Slow);
        QVERIFY(std::all_of(mailOf(view)->messages().cbegin(), mailOf(view)->messages().cend(), isMiras));
        QVERIFY(!findItem(view.root.get(), QStringLiteral("accountDot:") + m_mira.id));
    }

    // Mira's newest message is held at the sandbox: Alex's rows show while
    // hers load, then hers join them in order.
    void aSlowAccountDoesNotHoldBackTheOthers()
    {
        vmtest::holdNextRequest(*m_sandbox,
                                QStringLiteral("GET /gmail/v1/users/me/messages/") + MiraIDs + "01", 4000);
        Both both(*this);
        qmltest::View view;
        QVERIFY(open(view, both.registry.get(), MailUrl));
        TL_WAIT([&] { return mailOf(view)->messages().size() == 12; }, Slow, "Alex's rows");
        QVERIFY(mailOf(view)->state().isLoading());
        QVERIFY(view.find("mailList")->isVisible());
        QVERIFY(std::none_of(mailOf(view)->messages().cbegin(), mailOf(view)->messages().cend(), isMiras));
        QVERIFY(bothListed(view));
        QCOMPARE(mailOf(view)->messages().size(), 15);
        QVERIFY(newestFirst(mailOf(view)->messages()));
    }

    // Summary, mark read, draft reply, Open in Gmail and archive on one of
    // Mira's rows go to Mira's mailbox, with her token, and to hers only.
    void everyActionOnAMiraRowUsesMirasAccount()
    {
        Both both(*this);
        vmtest::OpenedUrls opened;
        qmltest::View view;
        QVERIFY(open(view, both.registry.get(), MailUrl));
        QVERIFY(bothListed(view));
        const QString id = firstMiraID(view);
        m_sandbox->clearLog();

        QQuickItem *row = shownRow(view, id);
        QVERIFY(row);
        click(findItem(row, "mailRowHeader"));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(row, "summaryReady")->isVisible(), Slow);
        click(findItem(row, "markRead"));
        TL_WAIT([&] { return !findItem(row, "unreadDot")->property("color").value<QColor>().alpha(); }, Slow,
                "the row to show as read");
        click(findItem(row, "draftReply"));
        QTRY_COMPARE_WITH_TIMEOUT(m_sandbox->drafts(Sandbox::MiraSub).size(), 1, Slow);
        click(findItem(row, "openInGmail"));
        click(findItem(row, "archive"));
        TL_WAIT([&] { return !mailRow(view, id); }, Slow, "the archived row to go");

        const auto gmail = vmtest::requestsTo(*m_sandbox, QStringLiteral("/gmail/"));
        QVERIFY(gmail.size() >= 4); // the body, two label changes, the draft
        for (const QJsonObject &entry : gmail) {
            QCOMPARE(entry.value("sub").toString(), Sandbox::MiraSub);
            QCOMPARE(entry.value("status").toInt() / 100, 2);
        }
        QVERIFY(m_sandbox->drafts(Sandbox::AlexSub).isEmpty());
        QVERIFY(!opened.urls.isEmpty());
        for (const QUrl &url : opened.urls)
            QVERIFY2(url.toString().contains(QStringLiteral("mira%40example.com"))
                         || url.toString().contains(QStringLiteral("mira@example.com")),
                     qPrintable(url.toString()));
        // A later merge (a reload of Alex's part) keeps the change.
        QVERIFY(std::none_of(mailOf(view)->messages().cbegin(), mailOf(view)->messages().cend(),
                             [&](const EmailMessage &m) { return m.id == id; }));
    }

    // Mira's grant is gone: one line names her, Alex's rows still show.
    void oneAccountFailingLeavesTheOthersShown()
    {
        m_sandbox->revoke(Sandbox::MiraSub);
        m_sandbox->expireAccessTokens(Sandbox::MiraSub);
        Both both(*this);
        qmltest::View view;
        QVERIFY(open(view, both.registry.get(), MailUrl));
        QTRY_VERIFY_WITH_TIMEOUT(mailOf(view)->state().isLoaded(), Slow);
        const auto &rows = mailOf(view)->messages();
        QCOMPARE(rows.size(), 12);
        QVERIFY(std::none_of(rows.cbegin(), rows.cend(), isMiras));
        QQuickItem *notice = view.find("mailNotice");
        QVERIFY(notice->isVisible());
        const QString text = findItem(notice, "noticeText")->property("text").toString();
        QVERIFY2(text.startsWith(QStringLiteral("Couldn't load mira@example.com: ")), qPrintable(text));
        QVERIFY(!text.contains(u'\n'));
        QVERIFY(view.find("mailList")->isVisible());
        qmltest::saveLightAndDark(view, QStringLiteral("all-accounts-mail-failure"));

        // Every account failing is the tab's error, with no notice above it.
        m_sandbox->revoke(Sandbox::AlexSub);
        m_sandbox->expireAccessTokens(Sandbox::AlexSub);
        mailOf(view)->startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(view.find("mailError")->isVisible(), Slow);
        QVERIFY(!notice->isVisible());
    }

    // A meeting both are invited to (one iCalendar id, one start) is one row
    // with both dots; each account's own events keep their own dot.
    void calendarShowsASharedMeetingOnceWithBothDots()
    {
        addSharedPlanning();
        QVERIFY(m_sandbox
                    ->control("POST", QStringLiteral("event"),
                              QJsonObject{{"sub", Sandbox::MiraSub},
                                          {"id", "miraonly"},
                                          {"summary", "Mira's 1:1"},
                                          {"guests", QJsonArray{"priya@example.com"}}})
                    .toObject()
                    .value("ok")
                    .toBool());
        Both both(*this);
        qmltest::View view;
        QVERIFY(open(view, both.registry.get(), CalendarUrl));
        auto *model = view.root->findChild<CalendarViewModel *>();
        auto *rows = model->eventList();
        const auto dotsOf = [&](int row) {
            QStringList ids;
            for (const QVariant &account : rows->index(row).data(CalendarEventList::AccountsRole).toList())
                ids.append(account.value<Account>().id);
            return ids;
        };
        const auto rowsWith = [&](const QString &ids) {
            QList<int> found;
            for (int row = 0; row < rows->rowCount(); ++row)
                if (dotsOf(row).join(u',') == ids)
                    found.append(row);
            return found;
        };
        const QString both_ = m_alex.id + u',' + m_mira.id;
        QTRY_VERIFY_WITH_TIMEOUT(
            model->state().isLoaded() && !rowsWith(m_mira.id).isEmpty() && !rowsWith(both_).isEmpty(), Slow);
        QCOMPARE(rowsWith(both_).size(), 1);
        const auto shared = std::count_if(model->events().cbegin(), model->events().cend(),
                                          [](const CalendarEvent &e) { return e.title == u"Planning"; });
        QCOMPARE(shared, 1);
        QVERIFY(!rowsWith(m_alex.id).isEmpty());
        QQuickItem *row = findItem(view.root.get(), QStringLiteral("eventRow:sharedplanning"));
        QVERIFY(row);
        QVERIFY(findItem(row, QStringLiteral("accountDot:") + m_mira.id));
        qmltest::saveLightAndDark(view, QStringLiteral("all-accounts-calendar"));

        // A Mira row's card asks Mira's mailbox for her guests' mail, and
        // opens the event in her calendar.
        const QString miraEvent = QStringLiteral("miraonly");
        m_sandbox->clearLog();
        vmtest::OpenedUrls opened;
        QQuickItem *miraRow = findItem(view.root.get(), QStringLiteral("eventRow:") + miraEvent);
        click(findItem(miraRow, "eventButton"));
        TL_WAIT([&] { return !vmtest::requestsTo(*m_sandbox, QStringLiteral("/gmail/")).isEmpty(); }, Slow,
                "the card's mail search");
        for (const QJsonObject &entry : vmtest::requestsTo(*m_sandbox, QStringLiteral("/gmail/")))
            QCOMPARE(entry.value("sub").toString(), Sandbox::MiraSub);
        click(findItem(miraRow, "prepOpenEvent"));
        TL_WAIT([&] { return !opened.urls.isEmpty(); }, Slow, "the event's page");
        QVERIFY2(opened.urls.first().query().contains(QStringLiteral("authuser=mira%40example.com")),
                 qPrintable(opened.urls.first().toString()));

        // Mira's new choice of calendars reloads the merged agenda.
        m_sandbox->clearLog();
        CalendarChoice::of(*both.registry.get()).setIds(m_mira.id, {m_mira.email});
        TL_WAIT(
            [&] {
                const auto asked = vmtest::requestsTo(*m_sandbox, QStringLiteral("/calendar/v3/calendars/"));
                return std::ranges::any_of(
                    asked, [](const QJsonObject &e) { return e.value("sub") == Sandbox::MiraSub; });
            },
            Slow, "Mira's chosen calendar");
    }

    // The brief over every account: both accounts' unread mail, newest
    // first, and a meeting both are invited to once.
    void briefCountsEveryAccountOnce()
    {
        addSharedPlanning();
        Both both(*this);
        qmltest::View view;
        QVERIFY(open(view, both.registry.get(), BriefUrl));
        auto *brief = view.root->findChild<BriefViewModel *>();
        QVERIFY(brief);
        TL_WAIT([&] { return brief->state().isLoaded() && std::ranges::any_of(brief->unread(), isMiras); },
                Slow, "both accounts' brief");
        QVERIFY(!std::ranges::all_of(brief->unread(), isMiras));
        QVERIFY(newestFirst(brief->unread()));
        const QVariantList today = brief->property("todayEvents").toList();
        QCOMPARE(std::ranges::count_if(
                     today, [](const QVariant &e) { return e.value<CalendarEvent>().title == u"Planning"; }),
                 1);
        qmltest::saveLightAndDark(view, QStringLiteral("all-accounts-brief"));
    }

    void driveAsksForOneAccount()
    {
        Both both(*this);
        qmltest::View view;
        QVERIFY(open(view, both.registry.get(), DriveUrl));
        QQuickItem *chooser = view.find("driveChooseAccount");
        QVERIFY(chooser->isVisible());
        QVERIFY(findItem(chooser, QStringLiteral("driveAccount:") + m_alex.id));
        qmltest::saveLightAndDark(view, QStringLiteral("all-accounts-drive"));
        QVERIFY(vmtest::requestsTo(*m_sandbox, QStringLiteral("/drive/")).isEmpty());

        click(findItem(chooser, QStringLiteral("driveAccount:") + m_mira.id));
        QCOMPARE(both.registry.get()->activeAccountID(), m_mira.id);
        QVERIFY(!both.registry.get()->showsAllAccounts());
        QTRY_VERIFY_WITH_TIMEOUT(view.find("driveList")->isVisible(), Slow);
        QVERIFY(!chooser->isVisible());
    }
};

QTEST_MAIN(AllAccountsTest)
#include "tst_allaccounts.moc"
