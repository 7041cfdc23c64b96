// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The keychain store in a real Secret Service (run under scripts/with-keyring).

#include "Fixture.h"
#include "OAuthTestSupport.h"
#include "oauth/Archive.h"
#include "oauth/KeychainStore.h"

#include <QProcess>

using namespace oauth;
using namespace oauthtest;

namespace {

std::optional<Error> wait(std::function<void(VoidCompletion)> start)
{
    return runTask(awaitCompletion(std::move(start))).error;
}

std::optional<Error> save(const std::shared_ptr<AuthSession> &session, const QString &name)
{
    return wait([&](VoidCompletion done) { KeychainStore(name).save(session, name, std::move(done)); });
}

std::optional<Error> remove(const QString &name)
{
    return wait([&](VoidCompletion done) { KeychainStore(name).removeAuthSession(std::move(done)); });
}

TaskOutcome<std::shared_ptr<AuthSession>> retrieve(const QString &name)
{
    return runTask(
        awaitCompletion<std::shared_ptr<AuthSession>>([&](Completion<std::shared_ptr<AuthSession>> done) {
            KeychainStore(name).retrieveAuthSession(std::move(done));
        }));
}

// Items the Secret Service holds for this service name, counted by their
// object paths.
int storedItemCount(const QString &name)
{
    QProcess search;
    search.start("secret-tool", {"search", "--all", "server", name});
    search.waitForFinished(10000);
    const QString output = QString::fromUtf8(search.readAllStandardOutput() + search.readAllStandardError());
    return int(output.count(QStringLiteral("\n[/")) + (output.startsWith(QStringLiteral("[/")) ? 1 : 0));
}

} // namespace

class TestKeychain : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    int m_names = 0;

    QString uniqueName()
    {
        return QStringLiteral("app.tarnlight.test.%1.%2")
            .arg(QCoreApplication::applicationPid())
            .arg(++m_names);
    }

private slots:
    void initTestCase()
    {
        TL_NEEDS_KEYRING();
        TL_START_SANDBOX(m_sandbox);
    }

    void savingTwiceKeepsOneItemWithTheSecondSession()
    {
        const QString name = uniqueName();
        const auto first = std::make_shared<AuthSession>(mintedState(*m_sandbox, 3600));
        const auto second = std::make_shared<AuthSession>(mintedState(*m_sandbox, 3600, Sandbox::MiraSub));
        QVERIFY(!save(first, name));
        QVERIFY(!save(second, name));
        const auto outcome = retrieve(name);
        QVERIFY(outcome.value);
        QCOMPARE((*outcome.value)->authState()->accessToken(), second->authState()->accessToken());
        QCOMPARE(storedItemCount(name), 1);
    }

    void removedSessionIsGone()
    {
        const QString name = uniqueName();
        QVERIFY(!save(std::make_shared<AuthSession>(mintedState(*m_sandbox, 3600)), name));
        QVERIFY(!remove(name));
        QCOMPARE(retrieve(name).error->code(), 1);
        QCOMPARE(storedItemCount(name), 0);
    }

    void removingANeverSavedSessionFailsWithCode9()
    {
        const QString name = uniqueName();
        const auto error = remove(name);
        QVERIFY(error);
        QCOMPARE(error->domain(), KeychainStoreErrorDomain);
        QCOMPARE(error->code(), 9);
        QCOMPARE(error->userInfoValue("itemName").toString(), name);
    }

    void retrievingAnUnknownNameFailsWithCode1()
    {
        const auto outcome = retrieve(uniqueName());
        QVERIFY(!outcome.value);
        QCOMPARE(outcome.error->domain(), KeychainStoreErrorDomain);
        QCOMPARE(outcome.error->code(), 1);
    }

    void foreignBytesFailWithCode7()
    {
        const QString name = uniqueName();
        QVERIFY(!wait([&](VoidCompletion done) {
            KeychainStore::writeRawItem(name, QByteArray("bplist00\xd4\x01\x02\x03\x04\x05\x06", 15),
                                        std::move(done));
        }));
        const auto outcome = retrieve(name);
        QCOMPARE(outcome.error->code(), 7);
        QCOMPARE(outcome.error->userInfoValue("itemName").toString(), name);
    }

    void emptyItemNameFailsWithCode2()
    {
        QCOMPARE(retrieve(QString()).error->code(), 2);
        QCOMPARE(remove(QString())->code(), 2);
    }

    void storedSessionAuthorizesWithTheSameTokenState()
    {
        const QString name = uniqueName();
        const auto state = signIn(*m_sandbox);
        QVERIFY(!save(std::make_shared<AuthSession>(state), name));
        const auto outcome = retrieve(name);
        QVERIFY(outcome.value);
        const auto session = *outcome.value;
        QCOMPARE(session->authState()->lastTokenResponse(), state->lastTokenResponse());
        QCOMPARE(session->authState()->refreshToken(), state->refreshToken());
        QCOMPARE(session->userID, std::optional<QString>(Sandbox::AlexSub));

        rest::HttpRequest request;
        request.url = QUrl("https://www.googleapis.com/calendar/v3/calendars/primary/events");
        std::optional<QByteArray> header;
        session->authorizeRequest(request, [&](rest::HttpRequest authorized, std::optional<Error> error) {
            header = error ? QByteArray("error") : authorized.header("Authorization");
        });
        TL_WAIT([&] { return header.has_value(); }, 10000, "the request to be authorized");
        QCOMPARE(*header, "Bearer " + state->accessToken()->toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestKeychain)
#include "tst_keychain.moc"
