// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The mail view model against the sandbox provider, with sessions in a
// private Secret Service (run under scripts/with-keyring).

#include "BearerAuthorizer.h"
#include "ViewModelSupport.h"
#include "mail/GmailLink.h"
#include "mail/GmailService.h"
#include "mail/MailViewModel.h"
#include "mail/UnreadMonitor.h"

#include <QSignalSpy>

using vmtest::requestsTo;

namespace {

const QString GmailPath = QStringLiteral("/gmail/v1/");
const QString ChatPath = QStringLiteral("/v1/chat/completions");
const QString ModelsPath = QStringLiteral("/v1/models");
const QString ListPath = QStringLiteral("/gmail/v1/users/me/messages");
const QString NoSession = QStringLiteral("No saved session for this account. Sign in again.");
constexpr int Slow = 15000;

MailViewModel::SummaryState::Kind summaryKind(const MailViewModel &model, const QString &id)
{
    return model.summaries().value(id).kind;
}

} // namespace

class MailViewModelTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    QString deliver(const QString &subject)
    {
        const QJsonObject mail{
            {"sub", Sandbox::AlexSub}, {"from", "Sofia Rossi <sofia@example.it>"}, {"subject", subject}};
        return m_sandbox->control("POST", QStringLiteral("mail"), mail).toObject().value("id").toString();
    }

    static QStringList idsOf(const QList<EmailMessage> &messages)
    {
        QStringList ids;
        for (const EmailMessage &message : messages)
            ids.append(message.id);
        return ids;
    }

    // A model on a registry whose only account, Alex, is active and loaded.
    void load(MailViewModel &model)
    {
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::loaded());
        QVERIFY(model.messages().size() >= 3);
    }

private slots:
    void initTestCase() { TL_START_TAB_PROVIDER(m_sandbox); }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_mira, Sandbox::MiraSub}})); }

    void refreshWithoutActiveAccountGoesIdleAndSendsNothing()
    {
        const vmtest::WithoutActiveAccount without(m_alex);
        for (GoogleAuthService *registry : without.registries()) {
            MailViewModel model;
            model.attach(registry);
            QSignalSpy stateSpy(&model, &MailViewModel::stateChanged);
            QVERIFY(runTask(model.refresh()).finished);
            QCOMPARE(model.state(), LoadState::idle());
            QVERIFY(model.messages().isEmpty());
            QCOMPARE(stateSpy.count(), 0); // idle to idle is no change
        }
        QVERIFY(requestsTo(*m_sandbox, GmailPath).isEmpty());
    }

    void failedReloadKeepsTheListUnderTheError()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        QSignalSpy stateSpy(&model, &MailViewModel::stateChanged);
        load(model);
        QCOMPARE(stateSpy.count(), 2); // loading, loaded
        QCOMPARE(requestsTo(*m_sandbox, GmailPath).size(), model.messages().size() + 1);
        const auto listed = model.messages();

        m_sandbox->injectFault({{"route", "GET /gmail/v1/users/me/messages"}, {"status", 500}});
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QVERIFY(model.state().isError());
        QVERIFY(!model.state().message.isEmpty());
        QCOMPARE(model.messages(), listed);
    }

    // Details are fetched once: a refresh with nothing new costs the list
    // alone, one new mail one more request, and the list answer alone
    // decides what shows (mail read elsewhere drops out).
    void refreshFetchesOnlyWhatIsNew()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const QList<EmailMessage> first = model.messages();
        m_sandbox->clearLog();
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(m_sandbox->requestLog().size(), 1);
        QCOMPARE(model.messages(), first);

        const QString ferry = deliver(QStringLiteral("Ferry times"));
        m_sandbox->clearLog();
        QVERIFY(runTask(model.refresh(), Slow).finished);
        const QJsonArray log = m_sandbox->requestLog();
        QCOMPARE(log.size(), 3); // the list, then a batch of one call (logged before it)
        QCOMPARE(log.at(1).toObject().value("path").toString(), ListPath + u'/' + ferry);
        QCOMPARE(log.at(2).toObject().value("path").toString(), QStringLiteral("/batch/gmail/v1"));
        QCOMPARE(model.messages().first().subject, QStringLiteral("Ferry times"));
        QCOMPARE(model.messages().mid(1), first.mid(0, model.messages().size() - 1));

        const QString token = m_sandbox->accessToken(Sandbox::AlexSub);
        QVERIFY(!runTask(GmailService::modifyLabels(std::make_shared<BearerAuthorizer>(token.toUtf8()),
                                                    first[0].id, {GmailService::UnreadLabel}))
                     .error);
        m_sandbox->clearLog();
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QVERIFY(!idsOf(model.messages()).contains(first[0].id));
        QCOMPARE(idsOf(model.messages()).mid(0, 2), (QStringList{ferry, first[1].id}));
        // Only a message never listed before (one moving up into the 25) is fetched.
        for (const QJsonObject &entry : requestsTo(*m_sandbox, ListPath + u'/'))
            QVERIFY(!idsOf(first).contains(entry.value("path").toString().section(u'/', -1)));
    }

    // The unread check announces mail the tab fetched without fetching it again.
    void unreadCheckUsesTheTabsDetails()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        UnreadMonitor monitor(*registry.get());
        QSignalSpy announced(&monitor, &UnreadMonitor::newMail);
        QVERIFY(runTask(monitor.checkNow(), Slow).finished);
        const QString ferry = deliver(QStringLiteral("Ferry times"));
        load(model);
        m_sandbox->clearLog();
        QVERIFY(runTask(monitor.checkNow(), Slow).finished);
        QCOMPARE(announced.size(), 1);
        const auto messages = announced.at(0).at(1).value<QList<EmailMessage>>();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].id, ferry);
        QCOMPARE(messages[0].subject, QStringLiteral("Ferry times"));
        QVERIFY(requestsTo(*m_sandbox, ListPath + u'/').isEmpty());
    }

    void missingSessionShowsItsMessage()
    {
        const Account stranger = vmtest::account(QStringLiteral("no-item"));
        vmtest::Registry registry({stranger}, stranger.id);
        MailViewModel model;
        model.attach(registry.get());
        runTask(model.refresh());
        QCOMPARE(model.state(), LoadState::error("No saved session for this account. Sign in again."));
    }

    void toggleMovesExpansionAndSummarizesOncePerMessage()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const EmailMessage first = model.messages().at(0);
        const EmailMessage second = model.messages().at(1);

        model.toggle(first);
        QCOMPARE(model.expandedID(), first.id);
        QTRY_COMPARE_WITH_TIMEOUT(summaryKind(model, first.id), MailSummaryState::Ready, Slow);
        QVERIFY(!model.summaries().value(first.id).summary.summary.isEmpty());

        model.toggle(first);
        QCOMPARE(model.expandedID(), std::nullopt);
        model.toggle(second);
        QCOMPARE(model.expandedID(), second.id);
        QTRY_COMPARE_WITH_TIMEOUT(summaryKind(model, second.id), MailSummaryState::Ready, Slow);
        model.toggle(first); // has its summary: moves the expansion only
        QCOMPARE(model.expandedID(), first.id);
        QTest::qWait(200); // no third summary is asked for meanwhile
        QCOMPARE(requestsTo(*m_sandbox, ChatPath).size(), 2);
    }

    void unavailableModelIsStoredAndNeverRetried()
    {
        m_sandbox->control("POST", QStringLiteral("model"), QJsonObject{{"loading", true}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const EmailMessage message = model.messages().at(0);
        m_sandbox->clearLog();

        // Expanded, collapsed and expanded again before the model answers.
        model.toggle(message);
        model.toggle(message);
        model.toggle(message);
        const auto expected = MailSummaryState::unavailable("The local model is still loading…");
        QTRY_COMPARE_WITH_TIMEOUT(model.summaries().value(message.id), expected, Slow);
        model.toggle(message);
        model.toggle(message);
        QTest::qWait(300); // no retry is sent meanwhile
        QCOMPARE(model.summaries().value(message.id), expected);
        QCOMPARE(requestsTo(*m_sandbox, ModelsPath).size(), 1);
        QVERIFY(requestsTo(*m_sandbox, GmailPath).isEmpty());
    }

    void draftWithModelUnavailableFailsAndSendsNothing()
    {
        m_sandbox->control("POST", QStringLiteral("model"), QJsonObject{{"loading", true}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const EmailMessage message = model.messages().at(0);
        m_sandbox->clearLog();
        vmtest::OpenedUrls opened;

        QVERIFY(runTask(model.draftReply(message), Slow).finished);
        QCOMPARE(model.replyStates().value(message.id),
                 MailReplyState::failed("The local model is still loading…"));
        QVERIFY(requestsTo(*m_sandbox, GmailPath).isEmpty());
        QVERIFY(m_sandbox->drafts(Sandbox::AlexSub).isEmpty());
        QVERIFY(opened.urls.isEmpty());
    }

    void draftIsSavedInTheThreadAndOpenedForTheActiveAccount()
    {
        const Account first = vmtest::account(QStringLiteral("first"));
        const Account third = vmtest::account(QStringLiteral("third"));
        vmtest::Registry registry({first, m_alex, third}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const EmailMessage message = model.messages().at(0);
        vmtest::OpenedUrls opened;
        QSignalSpy replySpy(&model, &MailViewModel::replyStatesChanged);

        QVERIFY(runTask(model.draftReply(message), Slow).finished);
        QCOMPARE(model.replyStates().value(message.id), MailReplyState::done());
        QCOMPARE(replySpy.count(), 2); // drafting, done
        const QJsonArray drafts = m_sandbox->drafts(Sandbox::AlexSub);
        QCOMPARE(drafts.size(), 1);
        QCOMPARE(drafts.at(0)["threadId"].toString(), message.threadId);
        QCOMPARE(opened.urls.size(), 1);
        QCOMPARE(opened.urls.at(0), gmail::threadWebLink(m_alex.email, message.threadId));
    }

    void markReadKeepsTheRowArchiveRemovesIt()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const EmailMessage read = model.messages().at(0);
        const EmailMessage archived = model.messages().at(1);
        const int count = int(model.messages().size());
        QVERIFY(read.isUnread);
        QSignalSpy listSpy(&model, &MailViewModel::messagesChanged);

        QVERIFY(runTask(model.markRead(read)).finished);
        QCOMPARE(model.messages().size(), count);
        EmailMessage expected = read;
        expected.isUnread = false;
        QCOMPARE(model.messages().at(0), expected);

        QVERIFY(runTask(model.archive(archived)).finished);
        QCOMPARE(model.messages().size(), count - 1);
        QVERIFY(!model.messages().contains(archived));
        QCOMPARE(listSpy.count(), 2);

        // A failed label change leaves everything as it was, silently.
        m_sandbox->injectFault(
            {{"route", "POST /gmail/v1/users/me/messages/*"}, {"status", 500}, {"count", -1}});
        const auto before = model.messages();
        runTask(model.archive(before.at(1)));
        runTask(model.markRead(before.at(1)));
        QCOMPARE(model.messages(), before);
        QCOMPARE(model.state(), LoadState::loaded());
    }

    // Alex's reload is overtaken by Mira's after a switch and answers last:
    // its answer is dropped, so Mira's rows stay.
    void lateListOfThePreviousAccountIsDropped()
    {
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        m_sandbox->clearLog();
        vmtest::holdNextRequest(*m_sandbox, "GET " + ListPath, 2000);
        model.startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(vmtest::heldRequestsArrived(*m_sandbox), Slow);

        registry.get()->setActive(m_mira);
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
        const auto miraRows = model.messages();
        QCOMPARE(miraRows.size(), 3);
        QCOMPARE(model.listAccount(), m_mira);

        // Two lists and Mira's 3 messages (Alex's are known), then Alex's answer.
        QTRY_COMPARE_WITH_TIMEOUT(requestsTo(*m_sandbox, ListPath).size(), 2 + 3, Slow);
        QTest::qWait(300); // Alex's answer reaches the model, which shows no sign of dropping it
        QCOMPARE(model.messages(), miraRows);
        QCOMPARE(model.state(), LoadState::loaded());
    }

    // A switch reloads the tab for the new account without offering the old
    // rows meanwhile; actions in flight keep the account of their rows.
    void switchReloadsAndActionsKeepTheirAccount()
    {
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const EmailMessage drafted = model.messages().at(0);
        const EmailMessage read = model.messages().at(1);
        model.toggle(drafted);
        QTRY_COMPARE_WITH_TIMEOUT(summaryKind(model, drafted.id), MailSummaryState::Ready, Slow);
        vmtest::OpenedUrls opened;

        // Both are sent while Alex is active and answered after the switch.
        vmtest::holdNextRequest(*m_sandbox, "POST " + ChatPath, 1500);
        vmtest::holdNextRequest(*m_sandbox, "POST " + ListPath + "/" + read.id + "/modify", 1500);
        model.startDraftReply(drafted);
        model.startMarkRead(read);
        QTRY_VERIFY_WITH_TIMEOUT(vmtest::heldRequestsArrived(*m_sandbox), Slow);

        registry.get()->setActive(m_mira);
        QCOMPARE(model.state(), LoadState::loading());
        QVERIFY(model.messages().isEmpty());
        QCOMPARE(model.expandedID(), std::nullopt);
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
        QCOMPARE(model.messages().size(), 3);

        QTRY_COMPARE_WITH_TIMEOUT(model.replyStates().value(drafted.id), MailReplyState::done(), Slow);
        QCOMPARE(m_sandbox->drafts(Sandbox::AlexSub).size(), 1);
        QVERIFY(m_sandbox->drafts(Sandbox::MiraSub).isEmpty());
        QCOMPARE(opened.urls, QList<QUrl>{gmail::threadWebLink(m_alex.email, drafted.threadId)});

        // Back on Alex: the message marked read under Alex is no longer listed.
        registry.get()->setActive(m_alex);
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
        QVERIFY(!model.messages().isEmpty());
        QVERIFY(std::none_of(model.messages().cbegin(), model.messages().cend(),
                             [&](const EmailMessage &m) { return m.id == read.id; }));
        QCOMPARE(model.messages().at(0).id, drafted.id);
        QCOMPARE(summaryKind(model, drafted.id), MailSummaryState::Ready); // requested once
    }

    // Rows of an account signed out meanwhile: each action says so, and
    // nothing reaches that account's mail or another's.
    void actionsOfASignedOutAccountFailWithItsDescription()
    {
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        const auto alexRows = model.messages();
        vmtest::OpenedUrls opened;

        // A draft whose reply is being written when the account goes.
        vmtest::holdNextRequest(*m_sandbox, "POST " + ChatPath, 1500);
        model.startDraftReply(alexRows.at(0));
        QTRY_VERIFY_WITH_TIMEOUT(vmtest::heldRequestsArrived(*m_sandbox), Slow);
        registry.get()->signOut(m_alex);
        QTRY_COMPARE_WITH_TIMEOUT(model.replyStates().value(alexRows.at(0).id),
                                  MailReplyState::failed(NoSession), Slow);
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
        QCOMPARE(model.listAccount(), m_mira);
        m_sandbox->clearLog();

        // Rows of the old list still held by a view.
        model.toggle(alexRows.at(1));
        QTRY_COMPARE_WITH_TIMEOUT(model.summaries().value(alexRows.at(1).id),
                                  MailSummaryState::failed(NoSession), Slow);
        QVERIFY(runTask(model.draftReply(alexRows.at(2)), Slow).finished);
        QCOMPARE(model.replyStates().value(alexRows.at(2).id), MailReplyState::failed(NoSession));
        const auto miraRows = model.messages();
        QVERIFY(runTask(model.markRead(alexRows.at(3))).finished);
        QVERIFY(runTask(model.archive(alexRows.at(3))).finished);
        model.openInGmail(alexRows.at(3));
        QCOMPARE(model.messages(), miraRows);
        QVERIFY(requestsTo(*m_sandbox, GmailPath).isEmpty());
        QVERIFY(m_sandbox->drafts(Sandbox::AlexSub).isEmpty());
        QVERIFY(m_sandbox->drafts(Sandbox::MiraSub).isEmpty());
        QVERIFY(opened.urls.isEmpty());
    }

    // Each change reaches the list as a change of its own row: expanding, a
    // summary arriving, marking read, a reply finishing; archiving removes
    // its row. A reload tells the list only what changed.
    void rowChangesReachTheListOneByOne()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        MailViewModel model;
        model.attach(registry.get());
        load(model);
        vmtest::OpenedUrls opened;
        QAbstractItemModel *rows = model.messageList();
        const QList<EmailMessage> listed = model.messages();
        QSignalSpy changed(rows, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(rows, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(rows, &QAbstractItemModel::modelReset);
        const auto changedRows = [&] {
            QList<int> list;
            for (const auto &signal : changed)
                list.append(signal.at(0).toModelIndex().row());
            changed.clear();
            return list;
        };

        model.toggle(listed.at(0));
        QTRY_COMPARE_WITH_TIMEOUT(summaryKind(model, listed.at(0).id), MailSummaryState::Ready, Slow);
        QCOMPARE(changedRows(), QList<int>({0, 0, 0})); // expanded, summarizing, summary
        QCOMPARE(rows->index(0, 0).data(MailMessageList::ShowsActionItemRole).toBool(),
                 model.summaries().value(listed.at(0).id).summary.hasActionItem());

        QVERIFY(runTask(model.markRead(listed.at(1)), Slow).finished);
        QCOMPARE(changedRows(), QList<int>{1});
        QCOMPARE(rows->index(1, 0).data(MailMessageList::IsUnreadRole).toBool(), false);

        QVERIFY(runTask(model.draftReply(listed.at(0)), Slow).finished);
        QCOMPARE(changedRows(), QList<int>({0, 0})); // drafting, done
        QCOMPARE(rows->index(0, 0).data(MailMessageList::ReplyKindRole).toString(), QStringLiteral("done"));

        QVERIFY(runTask(model.archive(listed.at(2)), Slow).finished);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 2);
        QCOMPARE(rows->rowCount(), int(listed.size()) - 1);

        // The server no longer lists the read message: its row goes, the
        // others are untouched.
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(removed.count(), 2);
        QCOMPARE(removed.at(1).at(1).toInt(), 1);
        QCOMPARE(changedRows(), QList<int>());
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(reset.count(), 0);
    }

    void droppedModelIgnoresLateAnswers()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        auto model = std::make_unique<MailViewModel>();
        model->attach(registry.get());
        load(*model);
        vmtest::KeptRows<EmailMessage, RecordListModel> rows(*model, &MailViewModel::messagesChanged,
                                                             &MailViewModel::messages);
        const EmailMessage message = model->messages().at(0);
        m_sandbox->clearLog();
        m_sandbox->setDelay(300);
        model->startRefresh();
        model->toggle(message);
        model->startDraftReply(message);
        model->startMarkRead(message);
        model->startArchive(message);
        const auto shown = model->messages();
        model.reset();
        // Every answer arrives after the model is gone: the list's (its
        // messages are known), both label changes' and the local model's.
        TL_WAIT(
            [&] {
                const auto gets = requestsTo(*m_sandbox, ListPath, "GET");
                const bool listed = std::any_of(gets.cbegin(), gets.cend(), [](const QJsonObject &entry) {
                    return entry.value("path").toString() == ListPath;
                });
                return listed && requestsTo(*m_sandbox, ListPath, "POST").size() == 2
                       && !requestsTo(*m_sandbox, ModelsPath).isEmpty();
            },
            Slow, "the sandbox to answer every request");
        m_sandbox->requestLog(); // one more round trip, behind the last answer
        m_sandbox->setDelay(0);
        QCOMPARE(rows.rows(), shown);
    }
};

QTEST_GUILESS_MAIN(MailViewModelTest)
#include "tst_mailviewmodel.moc"
