// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The provider breaking during a sign-in, at discovery or at the code
// exchange: the sign-in ends once with an error, registers nothing, keeps
// the accounts there were, and stops its listener. Run under
// scripts/with-keyring.

#include "../accounts/tst_signin_support.h"
#include "ProviderFaults.h"
#include "TaskRunner.h"
#include "ViewModelSupport.h"
#include "support/UrlOpener.h"

namespace {

const QString Discovery = QStringLiteral("GET /.well-known/openid-configuration");
const QString Token = QStringLiteral("POST /token");

} // namespace

class SignInFaultsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_dir;
    const Account m_existing = vmtest::account(QStringLiteral("existing"));

    // Signs in under the fault on `route`; checks what must hold whatever
    // the fault, and returns the error.
    Error signInFails(const QJsonObject &answer, bool slow, const QString &route)
    {
        vmtest::Registry registry({m_existing}, m_existing.id);
        HeadlessBrowser browser;
        support::ScopedUrlOpener opener([&browser](const QUrl &url) { return browser.open(url); });
        TaskOutcome<void> outcome;
        {
            const faults::Injected injected(*m_sandbox, {"", answer, slow}, route);
            outcome = runTask(registry.get()->addAccount(), 30000);
        }
        [&] {
            QVERIFY(outcome.finished);
            QVERIFY(outcome.error);
            QVERIFY(!outcome.error->description().isEmpty());
            QCOMPARE(registry.get()->accounts(), QList<Account>{m_existing});
            QCOMPARE(registry.get()->activeAccount(), m_existing);
            QVERIFY(!registry.get()->hasPendingSignIn());
            // The listener closes once the browser has the page that says why.
            const QUrl redirect = QUrl::fromEncoded(browser.redirectLocation);
            if (redirect.port() > 0) {
                TL_WAITED([&] { return browser.done; }, 5000, "the browser to get its page");
                QVERIFY(portRefused(quint16(redirect.port())));
            }
        }();
        return outcome.error.value_or(Error());
    }

private slots:
    void initTestCase()
    {
        TL_NEEDS_KEYRING();
        TL_START_SIGN_IN_PROVIDER(m_sandbox, m_dir);
    }

    void init() { m_sandbox->reset(); }

    void faultAtDiscovery_data()
    {
        QTest::addColumn<int>("fault");
        const auto all = faults::all();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].name) << i;
    }
    void faultAtDiscovery()
    {
        QFETCH(int, fault);
        const faults::Fault f = faults::all()[fault];
        signInFails(f.answer, f.slow, Discovery);
    }

    void faultAtCodeExchange_data() { faultAtDiscovery_data(); }
    void faultAtCodeExchange()
    {
        QFETCH(int, fault);
        const faults::Fault f = faults::all()[fault];
        signInFails(f.answer, f.slow, Token);
    }

    // What a revoked or reused grant looks like at the token endpoint.
    void refusedGrantAtCodeExchange()
    {
        const QJsonObject answer{
            {"status", 400},
            {"body", "{\"error\":\"invalid_grant\",\"error_description\":\"Bad Request\"}"},
            {"contentType", "application/json"}};
        const Error error = signInFails(answer, false, Token);
        QCOMPARE(error.description(), QStringLiteral("invalid_grant: Bad Request"));
    }
};

QTEST_GUILESS_MAIN(SignInFaultsTest)
#include "tst_signinfaults.moc"
