// Account sessions: the registry's keychain lookups and the deletion at
// sign-out, in a private Secret Service (run under scripts/with-keyring).

#include "../oauth/OAuthTestSupport.h"
#include "accounts/GoogleAuthService.h"
#include "oauth/KeychainStore.h"
#include "shell/records/AuthError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>

using namespace oauth;

namespace {

TaskOutcome<std::shared_ptr<AuthSession>> retrieve(const QString &name)
{
    return runTask(awaitCompletion<std::shared_ptr<AuthSession>>(
        [&](Completion<std::shared_ptr<AuthSession>> done) {
            KeychainStore(name).retrieveAuthSession(std::move(done));
        }));
}

std::optional<Error> writeItem(const QString &name, const std::shared_ptr<AuthSession> &session,
                               const QByteArray &raw = {})
{
    return runTask(awaitCompletion([&](VoidCompletion done) {
               if (session)
                   KeychainStore(name).save(session, name, std::move(done));
               else
                   KeychainStore::writeRawItem(name, raw, std::move(done));
           }))
        .error;
}

} // namespace

class TestSessions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;
    int m_ids = 0;

    Account newAccount()
    {
        const QString id = QStringLiteral("sessions-%1-%2").arg(QCoreApplication::applicationPid()).arg(++m_ids);
        return Account{id, id + "@example.com", "Test " + id};
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("TARNLIGHT_IN_KEYRING"))
            QSKIP("Needs the private keyring of scripts/with-keyring; never touches the user's own.");
        m_sandbox = std::make_unique<Sandbox>();
        QVERIFY(m_sandbox->isRunning());
    }

    void init()
    {
        m_store = std::make_unique<QSettings>(m_dir.filePath(QTest::currentTestFunction()) + ".ini",
                                              QSettings::IniFormat);
        m_store->clear();
    }

    void itemNameIsPrefixedAccountID()
    {
        QCOMPARE(GoogleAuthService::keychainItemName(Account{"1080", "a@b", "A"}),
                 QStringLiteral("app.tarnlight.account.1080"));
    }

    void eachLookupReadsTheSavedSession()
    {
        const Account account = newAccount();
        const auto state = oauthtest::mintedState(*m_sandbox, 3600);
        QVERIFY(!writeItem(GoogleAuthService::keychainItemName(account), std::make_shared<AuthSession>(state)));
        GoogleAuthService registry(m_store.get());
        const auto first = runTask(registry.authSession(account));
        const auto second = runTask(registry.authSession(account));
        QVERIFY(first.value && second.value);
        QVERIFY(*first.value != *second.value);
        QCOMPARE((*first.value)->authState()->lastTokenResponse(), state->lastTokenResponse());
        QCOMPARE((*second.value)->authState()->lastTokenResponse(), state->lastTokenResponse());
    }

    void missingOrUnreadableItemGivesNoSession()
    {
        GoogleAuthService registry(m_store.get());
        const Account missing = newAccount();
        auto outcome = runTask(registry.authSession(missing));
        QVERIFY(!outcome.value);
        QCOMPARE(*outcome.error, toError(AuthError::noSession));
        QCOMPARE(outcome.error->description(), QStringLiteral("No saved session for this account. Sign in again."));

        const Account garbled = newAccount();
        QVERIFY(!writeItem(GoogleAuthService::keychainItemName(garbled), nullptr, "not a session"));
        outcome = runTask(registry.authSession(garbled));
        QCOMPARE(*outcome.error, toError(AuthError::noSession));
    }

    void signOutDeletesTheItemFirst()
    {
        const Account account = newAccount();
        const QString name = GoogleAuthService::keychainItemName(account);
        QVERIFY(!writeItem(name, std::make_shared<AuthSession>(oauthtest::mintedState(*m_sandbox, 3600))));
        m_store->setValue(GoogleAuthService::accountsKey,
                          QJsonDocument(QJsonArray{account.toJson()}).toJson(QJsonDocument::Compact));
        GoogleAuthService registry(m_store.get());
        registry.signOut(account);
        QVERIFY(registry.accounts().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(retrieve(name).error->code(), int(KeychainPasswordNotFound), 5000);
        QCOMPARE(*runTask(registry.authSession(account)).error, toError(AuthError::noSession));
    }

    void signOutWithoutItemStillRemovesTheAccount()
    {
        const Account account = newAccount();
        const Account other = newAccount();
        m_store->setValue(GoogleAuthService::accountsKey,
                          QJsonDocument(QJsonArray{account.toJson(), other.toJson()}).toJson(QJsonDocument::Compact));
        GoogleAuthService registry(m_store.get());
        registry.signOut(account);
        QCOMPARE(registry.accounts(), QList<Account>{other});
        QCOMPARE(registry.activeAccountID(), std::optional<QString>(other.id));
    }
};

QTEST_GUILESS_MAIN(TestSessions)
#include "tst_sessions.moc"
