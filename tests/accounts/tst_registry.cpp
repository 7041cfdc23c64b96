// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SettingsStore.h"
#include "accounts/GoogleAuthService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

// Exposes the sign-in's registration step to the tests.
class Registry : public GoogleAuthService
{
public:
    using GoogleAuthService::GoogleAuthService;
    using GoogleAuthService::upsert;
};

const Account ada{"1", "ada@example.com", "Ada"};
const Account bob{"2", "bob@example.com", "Bob"};
const Account cy{"3", "cy@example.com", "Cy"};

QByteArray listJson(const QList<Account> &accounts)
{
    QJsonArray array;
    for (const auto &a : accounts)
        array.append(a.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

    tltest::SettingsStore m_store;

    QSettings *store() { return m_store.get(); }

private slots:
    void init() { m_store.renew(); }

    void storedActiveNotListed()
    {
        store()->setValue(GoogleAuthService::accountsKey, listJson({ada, bob}));
        store()->setValue(GoogleAuthService::activeKey, QStringLiteral("gone"));
        Registry registry(store());
        QCOMPARE(registry.activeAccountID(), QStringLiteral("gone"));
        QVERIFY(!registry.activeAccount());
        registry.setActive(bob);
        QCOMPARE(registry.activeAccount(), bob);
        QCOMPARE(store()->value(GoogleAuthService::activeKey).toString(), bob.id);
    }

    void noStoredActiveTakesFirstWithoutWriting()
    {
        const QByteArray stored = listJson({ada, bob});
        store()->setValue(GoogleAuthService::accountsKey, stored);
        Registry registry(store());
        QCOMPARE(registry.activeAccount(), ada);
        QVERIFY(!store()->contains(GoogleAuthService::activeKey));
        QCOMPARE(store()->value(GoogleAuthService::accountsKey).toByteArray(), stored);
    }

    void corruptListIsEmptyAndUntouched_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("not json") << QByteArray("[{\"id\":");
        QTest::newRow("not an array") << QByteArray("{\"id\":\"1\"}");
        QTest::newRow("missing member") << QByteArray(R"([{"id":"1","email":"a@b"}])");
        QTest::newRow("wrong type") << QByteArray(R"([{"id":1,"email":"a","displayName":"b"}])");
    }
    void corruptListIsEmptyAndUntouched()
    {
        QFETCH(QByteArray, stored);
        store()->setValue(GoogleAuthService::accountsKey, stored);
        store()->setValue(GoogleAuthService::activeKey, QStringLiteral("1"));
        Registry registry(store());
        QVERIFY(registry.accounts().isEmpty());
        QCOMPARE(registry.activeAccountID(), QStringLiteral("1"));
        QCOMPARE(store()->value(GoogleAuthService::accountsKey).toByteArray(), stored);
        // The next change overwrites the stored value.
        registry.upsert(bob, true);
        QCOMPARE(store()->value(GoogleAuthService::accountsKey).toByteArray(), listJson({bob}));
    }

    void upsertReplacesInPlaceAndNotifies()
    {
        Registry registry(store());
        registry.upsert(ada, true);
        registry.upsert(bob, true);
        QSignalSpy changed(&registry, &GoogleAuthService::accountsChanged);
        const Account renamed{ada.id, "ada@new.example", "Ada L."};
        registry.upsert(renamed, true);
        QCOMPARE(registry.accounts(), (QList<Account>{renamed, bob}));
        QCOMPARE(registry.activeAccount(), renamed);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(store()->value(GoogleAuthService::accountsKey).toByteArray(), listJson({renamed, bob}));
    }

    void signOutActiveFirstOfThree()
    {
        Registry registry(store());
        for (const auto &a : {ada, bob, cy})
            registry.upsert(a, false);
        QCOMPARE(registry.activeAccount(), ada);
        registry.signOut(ada);
        QCOMPARE(registry.accounts(), (QList<Account>{bob, cy}));
        QCOMPARE(registry.activeAccount(), bob);
    }

    void signOutInactiveKeepsActive()
    {
        Registry registry(store());
        for (const auto &a : {ada, bob, cy})
            registry.upsert(a, false);
        registry.setActive(cy);
        registry.signOut(bob);
        QCOMPARE(registry.activeAccount(), cy);
    }

    void signOutOnlyAccount()
    {
        Registry registry(store());
        registry.upsert(ada, true);
        registry.signOut(ada);
        QVERIFY(registry.accounts().isEmpty());
        QVERIFY(!registry.activeAccountID());
        QVERIFY(!store()->contains(GoogleAuthService::activeKey));
        QCOMPARE(store()->value(GoogleAuthService::accountsKey).toByteArray(), QByteArray("[]"));
    }

    void setActiveUnlistedChangesNothing()
    {
        Registry registry(store());
        registry.upsert(ada, true);
        store()->remove(GoogleAuthService::activeKey);
        QSignalSpy changed(&registry, &GoogleAuthService::activeAccountIDChanged);
        registry.setActive(bob);
        QCOMPARE(changed.count(), 0);
        QVERIFY(!store()->contains(GoogleAuthService::activeKey));
        registry.setActive(ada); // equal value: stored, but no notification
        QCOMPARE(changed.count(), 0);
    }

    // Remembered beside the active id, which keeps its format; choosing one
    // account, signing in another or dropping to one account ends it.
    void allAccountsIsRememberedUntilOneAccountIsShown()
    {
        {
            Registry registry(store());
            registry.upsert(ada, true);
            registry.showAllAccounts(); // one account: nothing to show together
            QVERIFY(!registry.showsAllAccounts());
            registry.upsert(bob, true);
            QSignalSpy changed(&registry, &GoogleAuthService::showsAllAccountsChanged);
            registry.showAllAccounts();
            QCOMPARE(changed.count(), 1);
            QCOMPARE(registry.shownAccounts(), (QList<Account>{ada, bob}));
        }
        Registry registry(store());
        QVERIFY(registry.showsAllAccounts());
        QCOMPARE(registry.activeAccount(), bob);
        QCOMPARE(store()->value(GoogleAuthService::activeKey).toString(), bob.id);

        registry.setActive(ada);
        QVERIFY(!registry.showsAllAccounts());
        QCOMPARE(registry.shownAccounts(), QList<Account>{ada});
        QVERIFY(!store()->contains(GoogleAuthService::allAccountsKey));

        registry.showAllAccounts();
        registry.upsert(cy, true);
        QVERIFY(!registry.showsAllAccounts());

        registry.showAllAccounts();
        registry.signOut(cy);
        QVERIFY(registry.showsAllAccounts()); // two are left
        QSignalSpy changed(&registry, &GoogleAuthService::showsAllAccountsChanged);
        registry.signOut(ada);
        QVERIFY(!registry.showsAllAccounts());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(registry.shownAccounts(), QList<Account>{bob});
        QVERIFY(!store()->contains(GoogleAuthService::allAccountsKey));
    }

    void stateSurvivesRestart()
    {
        {
            Registry registry(store());
            registry.upsert(ada, true);
            registry.upsert(bob, true);
        }
        Registry again(store());
        QCOMPARE(again.accounts(), (QList<Account>{ada, bob}));
        QCOMPARE(again.activeAccount(), bob);
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
