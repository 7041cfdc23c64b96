// The mail view model against the sandbox provider, with sessions in a
// private Secret Service (run under scripts/with-keyring).

#include "ViewModelSupport.h"
#include "mail/MailViewModel.h"

#include <QSignalSpy>

using vmtest::requestsTo;

namespace {

const QString GmailPath = QStringLiteral("/gmail/v1/");
const QString ChatPath = QStringLiteral("/v1/chat/completions");
const QString ModelsPath = QStringLiteral("/v1/models");
constexpr int Slow = 15000;

MailViewModel::SummaryState::Kind summaryKind(const MailViewModel &model, const QString &id)
{
    return model.summaries().value(id).kind;
}

} // namespace

class MailViewModelTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    const Account m_alex = vmtest::account(QStringLiteral("alex"));

    // A model on a registry whose only account, Alex, is active and loaded.
    void load(MailViewModel &model)
    {
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::loaded());
        QVERIFY(model.messages().size() >= 3);
    }

private slots:
    void initTestCase()
    {
        if (!vmtest::inKeyring())
            QSKIP("Needs the private keyring of scripts/with-keyring; never touches the user's own.");
        m_sandbox = vmtest::startProvider();
        QVERIFY(m_sandbox->isRunning());
        qputenv("TARNLIGHT_AI_URL", m_sandbox->url(QStringLiteral("/v1")).toString().toUtf8());
    }

    void init()
    {
        m_sandbox->reset();
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex));
        m_sandbox->clearLog();
    }

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
        QTest::qWait(200);
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
        const auto expected = MailSummaryState::unavailable(
            "The on-device model is still downloading. Try again shortly.");
        QTRY_COMPARE_WITH_TIMEOUT(model.summaries().value(message.id), expected, Slow);
        model.toggle(message);
        model.toggle(message);
        QTest::qWait(300);
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
                 MailReplyState::failed("The on-device model is still downloading. Try again shortly."));
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
        QCOMPARE(opened.urls.at(0), m_sandbox->url("/mail/u/1/#inbox/" + message.threadId));
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
        m_sandbox->injectFault({{"route", "POST /gmail/v1/users/me/messages/*"}, {"status", 500}, {"count", -1}});
        const auto before = model.messages();
        runTask(model.archive(before.at(1)));
        runTask(model.markRead(before.at(1)));
        QCOMPARE(model.messages(), before);
        QCOMPARE(model.state(), LoadState::loaded());
    }

    void droppedModelIgnoresLateAnswers()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        auto model = std::make_unique<MailViewModel>();
        model->attach(registry.get());
        load(*model);
        const EmailMessage message = model->messages().at(0);
        m_sandbox->setDelay(300);
        model->startRefresh();
        model->toggle(message);
        model->startDraftReply(message);
        model->startMarkRead(message);
        model->startArchive(message);
        model.reset();
        QTest::qWait(2500); // every answer arrives after the model is gone
        m_sandbox->setDelay(0);
    }
};

QTEST_GUILESS_MAIN(MailViewModelTest)
#include "tst_mailviewmodel.moc"
