// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Account sessions: the registry's keychain lookups and the deletion at
// sign-out, in a private Secret Service (run under scripts/with-keyring).

#include "Fixture.h"
#include "SettingsStore.h"
#include "../oauth/OAuthTestSupport.h"
#include "accounts/GoogleAuthService.h"
#include "oauth/KeychainStore.h"
#include "rest/HTTPFetcher.h"
#include "accounts/AuthError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

using namespace oauth;

namespace {

TaskOutcome<std::shared_ptr<AuthSession>> retrieve(const QString &name)
{
    return runTask(
        awaitCompletion<std::shared_ptr<AuthSession>>([&](Completion<std::shared_ptr<AuthSession>> done) {
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

struct Operation
{
    bool done = false;
    std::optional<Error> error;
};

// One operation of an account as the view models run it: the registry's
// session, then an authorized API request with it.
QCoro::Task<void> operate(GoogleAuthService &registry, Account account, QUrl url)
{
    const std::shared_ptr<AuthSession> session = co_await registry.authSession(account);
    rest::HttpRequest request;
    request.url = url;
    auto service = rest::HTTPFetcherService::create();
    service->allowLocalhostRequest = true;
    service->authorizer = session;
    auto fetched = awaitCompletion([fetcher = service->fetcherWithRequest(request)](VoidCompletion done) {
        fetcher->beginFetch([done](const QByteArray &, std::optional<Error> error) { done(error); });
    });
    co_await std::move(fetched);
}

std::shared_ptr<Operation> start(GoogleAuthService &registry, const Account &account, const QUrl &url)
{
    auto operation = std::make_shared<Operation>();
    [](QCoro::Task<void> task, std::shared_ptr<Operation> out) -> QCoro::Task<void> {
        try {
            co_await std::move(task);
        } catch (const Error &error) {
            out->error = error;
        }
        out->done = true;
    }(operate(registry, account, url), operation);
    return operation;
}

} // namespace

class TestSessions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    tltest::SettingsStore m_store;
    int m_ids = 0;

    Account newAccount()
    {
        const QString id =
            QStringLiteral("sessions-%1-%2").arg(QCoreApplication::applicationPid()).arg(++m_ids);
        return Account{id, id + "@example.com", "Test " + id};
    }

private slots:
    void initTestCase()
    {
        TL_NEEDS_KEYRING();
        // Sessions then authorize plain http to the loopback sandbox.
        TL_START_PROVIDER(m_sandbox);
    }

    QUrl profileURL() const { return m_sandbox->url("/gmail/v1/users/me/profile"); }

    int refreshes() { return oauthtest::countRequests(*m_sandbox, "POST", "/token"); }

    // A signed-in account whose item holds tokens minted `expiresIn` seconds long.
    Account savedAccount(int expiresIn)
    {
        const Account account = newAccount();
        const auto state = oauthtest::mintedState(*m_sandbox, expiresIn);
        [&] {
            QVERIFY(!writeItem(GoogleAuthService::keychainItemName(account),
                               std::make_shared<AuthSession>(state)));
        }();
        return account;
    }

    void init()
    {
        m_sandbox->reset();
        m_store.renew();
    }

    void itemNameIsPrefixedAccountID()
    {
        QCOMPARE(GoogleAuthService::keychainItemName(Account{"1080", "a@b", "A"}),
                 QStringLiteral("app.tarnlight.account.1080"));
    }

    void lookupsShareOneSessionPerAccount()
    {
        const Account account = newAccount();
        const auto state = oauthtest::mintedState(*m_sandbox, 3600);
        QVERIFY(
            !writeItem(GoogleAuthService::keychainItemName(account), std::make_shared<AuthSession>(state)));
        GoogleAuthService registry(m_store.get());
        const auto first = runTask(registry.authSession(account));
        const auto second = runTask(registry.authSession(account));
        QVERIFY(first.value && second.value);
        QCOMPARE(*first.value, *second.value);
        QCOMPARE((*first.value)->authState()->lastTokenResponse(), state->lastTokenResponse());
        // Once in memory, the item is not read again.
        QVERIFY(!writeItem(GoogleAuthService::keychainItemName(account), nullptr, "not a session"));
        QCOMPARE(*runTask(registry.authSession(account)).value, *first.value);
    }

    void rotatedRefreshTokenIsKeptAndStored()
    {
        m_sandbox->setRefreshRotation(true);
        const Account account = savedAccount(3600);
        const QString name = GoogleAuthService::keychainItemName(account);
        const QString signedIn = *retrieve(name).value.value()->authState()->refreshToken();
        GoogleAuthService registry(m_store.get());
        m_sandbox->expireAccessTokens(Sandbox::AlexSub); // an hour later
        m_sandbox->clearLog();
        for (int i = 0; i < 4; ++i) {
            const auto operation = start(registry, account, profileURL());
            QVERIFY(QTest::qWaitFor([&] { return operation->done; }, 15000));
            QVERIFY2(!operation->error, qPrintable(operation->error->description()));
        }
        QCOMPARE(refreshes(), 1);
        const auto inMemory = runTask(registry.authSession(account)).value.value();
        const QString rotated = *inMemory->authState()->refreshToken();
        QVERIFY(rotated != signedIn);
        QTRY_COMPARE(retrieve(name).value.value()->authState()->refreshToken(), std::optional(rotated));
        QCOMPARE(retrieve(name).value.value()->authState()->accessToken(),
                 inMemory->authState()->accessToken());

        // The next start of the app uses the stored tokens without refreshing.
        GoogleAuthService restarted(m_store.get());
        const auto operation = start(restarted, account, profileURL());
        QVERIFY(QTest::qWaitFor([&] { return operation->done; }, 15000));
        QVERIFY(!operation->error);
        QCOMPARE(refreshes(), 1);
    }

    void concurrentOperationsShareOneRefresh()
    {
        m_sandbox->setRefreshRotation(true);
        const Account account = savedAccount(30); // too close to expiry to use
        GoogleAuthService registry(m_store.get());
        m_sandbox->clearLog();
        QList<std::shared_ptr<Operation>> operations;
        for (int i = 0; i < 3; ++i)
            operations.append(start(registry, account, profileURL()));
        for (const auto &operation : operations) {
            QVERIFY(QTest::qWaitFor([&] { return operation->done; }, 15000));
            QVERIFY2(!operation->error, qPrintable(operation->error->description()));
        }
        QCOMPARE(refreshes(), 1);
    }

    void refreshAfterSignOutDoesNotBringTheItemBack()
    {
        const Account account = savedAccount(30);
        const QString name = GoogleAuthService::keychainItemName(account);
        m_store->setValue(GoogleAuthService::accountsKey,
                          QJsonDocument(QJsonArray{account.toJson()}).toJson(QJsonDocument::Compact));
        GoogleAuthService registry(m_store.get());
        QVERIFY(runTask(registry.authSession(account)).value);
        m_sandbox->setDelay(300); // the refresh answers after the sign-out
        const auto operation = start(registry, account, profileURL());
        registry.signOut(account);
        QVERIFY(QTest::qWaitFor([&] { return operation->done; }, 15000));
        QVERIFY(!operation->error);
        m_sandbox->setDelay(0);
        QCOMPARE(refreshes(), 1);
        TL_WAIT([&] { return retrieve(name).error.has_value(); }, 5000, "the keychain item to go");
        QCOMPARE(retrieve(name).error->code(), int(KeychainPasswordNotFound));
        QCOMPARE(*runTask(registry.authSession(account)).error, toError(AuthError::noSession));
    }

    void missingOrUnreadableItemGivesNoSession()
    {
        GoogleAuthService registry(m_store.get());
        const Account missing = newAccount();
        auto outcome = runTask(registry.authSession(missing));
        QVERIFY(!outcome.value);
        QCOMPARE(*outcome.error, toError(AuthError::noSession));
        QCOMPARE(outcome.error->description(),
                 QStringLiteral("No saved session for this account. Sign in again."));

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
        QVERIFY(runTask(registry.authSession(account)).value);
        registry.signOut(account);
        QVERIFY(registry.accounts().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(retrieve(name).error->code(), int(KeychainPasswordNotFound), 5000);
        QCOMPARE(*runTask(registry.authSession(account)).error, toError(AuthError::noSession));
    }

    void signOutWithoutItemStillRemovesTheAccount()
    {
        const Account account = newAccount();
        const Account other = newAccount();
        m_store->setValue(
            GoogleAuthService::accountsKey,
            QJsonDocument(QJsonArray{account.toJson(), other.toJson()}).toJson(QJsonDocument::Compact));
        GoogleAuthService registry(m_store.get());
        registry.signOut(account);
        QCOMPARE(registry.accounts(), QList<Account>{other});
        QCOMPARE(registry.activeAccountID(), std::optional<QString>(other.id));
    }
};

QTEST_GUILESS_MAIN(TestSessions)
#include "tst_sessions.moc"
