// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tst_signin_support.h"

#include "SettingsStore.h"
#include "TaskRunner.h"
#include "accounts/OAuthConfig.h"
#include "oauth/AuthSession.h"
#include "oauth/KeychainStore.h"
#include "oauth/OAuthError.h"
#include "oauth/RedirectHTTPHandler.h"
#include "core/Provider.h"
#include "support/UrlOpener.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpSocket>

namespace {

const QString AlexEmail = QStringLiteral("alex.rivera@example.com");
const QString MiraEmail = QStringLiteral("mira.okafor@example.com");

// Our page loads nothing: no remote address, no import, no url() but data:,
// and a policy that forbids loading should any slip in.
void verifySelfContainedPage(const HeadlessBrowser::Page &page)
{
    QCOMPARE(page.status, 200);
    QVERIFY(page.body.startsWith("<!DOCTYPE html>"));
    QVERIFY(page.body.contains("<svg"));
    static const QRegularExpression external(
        QStringLiteral("(src|href)\\s*=\\s*[\"']?\\s*(https?:)?//|@import|url\\((?!\\s*[\"']?data:)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(page.body);
    QVERIFY2(!external.match(text).hasMatch(), qPrintable(external.match(text).captured()));
    QVERIFY(page.contentSecurityPolicy.startsWith("default-src 'none'"));
}

QString chromiumPath()
{
    return QStringLiteral("/usr/bin/chromium");
}

// A headless Chromium that talks to nothing but the page it is given.
QStringList chromiumArguments(const QString &profile, const QString &action, const QUrl &url)
{
    return {QStringLiteral("--headless"),
            QStringLiteral("--no-sandbox"),
            QStringLiteral("--disable-gpu"),
            QStringLiteral("--disable-quic"),
            QStringLiteral("--no-first-run"),
            QStringLiteral("--disable-background-networking"),
            QStringLiteral("--disable-component-update"),
            QStringLiteral("--disable-sync"),
            QStringLiteral("--window-size=720,520"),
            QStringLiteral("--user-data-dir=") + profile,
            action,
            url.toString(QUrl::FullyEncoded)};
}

} // namespace

class SignInTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    tltest::SettingsStore m_store;
    std::unique_ptr<TestRegistry> m_registry;
    std::unique_ptr<HeadlessBrowser> m_browser;
    std::unique_ptr<support::ScopedUrlOpener> m_opener;

    TaskOutcome<void> signIn()
    {
        auto outcome = runTask(m_registry->addAccount(), 30000);
        TL_WAITED([&] { return m_browser->done; }, 5000, "the browser to finish");
        return outcome;
    }

    // The previous opener is put back first: a scoped opener restores what it
    // replaced when it goes.
    void useFreshBrowser()
    {
        m_opener.reset();
        m_browser = std::make_unique<HeadlessBrowser>();
        m_opener = std::make_unique<support::ScopedUrlOpener>(
            [browser = m_browser.get()](const QUrl &url) { return browser->open(url); });
    }

    int tokenRequests()
    {
        int count = 0;
        for (const QJsonValue &entry : m_sandbox->requestLog())
            count += entry[QStringLiteral("path")].toString() == QLatin1String("/token");
        return count;
    }

    oauth::AuthSession *storedSession(const QString &sub, std::shared_ptr<oauth::AuthSession> &keep)
    {
        auto outcome = runTask(m_registry->authSession(Account{sub, {}, {}}));
        keep = outcome.value.value_or(nullptr);
        return keep.get();
    }

private slots:
    void initTestCase()
    {
        TL_START_SIGN_IN_PROVIDER(m_sandbox, m_store.dir());
        QVERIFY(Provider::current().isLoopback());
        QVERIFY(OAuthConfig::current());
    }

    void init()
    {
        m_sandbox->reset();
        m_store.renew();
        m_registry = std::make_unique<TestRegistry>(m_store.get());
        useFreshBrowser();
    }

    void cleanup()
    {
        signOutAndWait(*m_registry, m_registry->accounts());
        m_opener.reset();
        m_registry.reset();
    }

    void signInRegistersAccountAndStoresSession()
    {
        bool pendingWhileBrowsing = false;
        m_browser->onOpen = [&](const QUrl &) { pendingWhileBrowsing = m_registry->hasPendingSignIn(); };
        const auto outcome = signIn();
        QVERIFY2(!outcome.error, qPrintable(outcome.error ? outcome.error->description() : QString()));
        QVERIFY(outcome.finished);

        const Account alex{Sandbox::AlexSub, AlexEmail, QStringLiteral("Alex Rivera")};
        QCOMPARE(m_registry->accounts(), QList<Account>{alex});
        QCOMPARE(m_registry->activeAccountID(), Sandbox::AlexSub);
        QCOMPARE(m_store->value(GoogleAuthService::activeKey).toString(), Sandbox::AlexSub);
        QVERIFY(pendingWhileBrowsing);
        QVERIFY(!m_registry->hasPendingSignIn());

        // What the browser was asked to open.
        const QUrlQuery query = m_browser->openedQuery();
        const QUrl redirect(query.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded));
        QCOMPARE(redirect.toString(), QStringLiteral("http://127.0.0.1:%1/").arg(redirect.port()));
        QCOMPARE(query.queryItemValue(QStringLiteral("access_type")), QStringLiteral("offline"));
        QCOMPARE(query.queryItemValue(QStringLiteral("prompt")), QStringLiteral("consent"));
        QCOMPARE(query.queryItemValue(QStringLiteral("response_type")), QStringLiteral("code"));
        QCOMPARE(query.queryItemValue(QStringLiteral("code_challenge_method")), QStringLiteral("S256"));
        QCOMPARE(query.queryItemValue(QStringLiteral("client_id")), Sandbox::ClientId);
        QCOMPARE(query.queryItemValue(QStringLiteral("scope"), QUrl::FullyDecoded),
                 GoogleScopes::all().join(QLatin1Char(' ')));

        // The code came back percent-encoded; the site icon got a 404 and the
        // redirect a 303 to the page that names the account, with the code
        // gone from the address bar.
        QVERIFY(m_browser->redirectLocation.contains("code=4%2F"));
        const QList<HeadlessBrowser::Page> &pages = m_browser->listenerPages;
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages[0].status, 404);
        QCOMPARE(pages[1].status, 303);
        QCOMPARE(pages[2].status, 200);
        QVERIFY2(m_browser->lastTarget.startsWith("/done?") && !m_browser->lastTarget.contains("code"),
                 m_browser->lastTarget);
        verifySelfContainedPage(pages[2]);
        QVERIFY(pages[2].body.contains("You&#39;re signed in to Tarnlight as " + AlexEmail.toUtf8())
                || pages[2].body.contains("You're signed in to Tarnlight as " + AlexEmail.toUtf8()));
        QCOMPARE(tokenRequests(), 1);

        std::shared_ptr<oauth::AuthSession> keep;
        const oauth::AuthSession *session = storedSession(Sandbox::AlexSub, keep);
        QVERIFY(session);
        QCOMPARE(session->userID, Sandbox::AlexSub);
        QCOMPARE(session->userEmail, AlexEmail);
        QVERIFY(session->authState()->refreshToken());
        QVERIFY(session->canAuthorize());
    }

    void signingInAgainUpdatesEntryAndRewritesItem()
    {
        QVERIFY(!signIn().error);
        std::shared_ptr<oauth::AuthSession> first;
        QVERIFY(storedSession(Sandbox::AlexSub, first));

        // The listed entry is out of date and another account is active.
        const Account mira{Sandbox::MiraSub, MiraEmail, QStringLiteral("Mira Okafor")};
        m_registry->upsert(
            Account{Sandbox::AlexSub, QStringLiteral("old@example.com"), QStringLiteral("Old Name")}, false);
        m_registry->upsert(mira, true);

        useFreshBrowser();
        QVERIFY(!signIn().error);

        const Account alex{Sandbox::AlexSub, AlexEmail, QStringLiteral("Alex Rivera")};
        QCOMPARE(m_registry->accounts(), (QList<Account>{alex, mira}));
        QCOMPARE(m_registry->activeAccountID(), Sandbox::AlexSub);
        QCOMPARE(m_browser->openedQuery().queryItemValue(QStringLiteral("prompt")),
                 QStringLiteral("consent"));
        QCOMPARE(m_browser->openedQuery().queryItemValue(QStringLiteral("access_type")),
                 QStringLiteral("offline"));

        // The new session replaced the one in memory and the item.
        std::shared_ptr<oauth::AuthSession> second;
        QVERIFY(storedSession(Sandbox::AlexSub, second));
        QVERIFY(second->authState()->accessToken() != first->authState()->accessToken());
        auto stored = runTask(awaitCompletion<std::shared_ptr<oauth::AuthSession>>(
            [](Completion<std::shared_ptr<oauth::AuthSession>> done) {
                oauth::KeychainStore(QStringLiteral("app.tarnlight.account.") + Sandbox::AlexSub)
                    .retrieveAuthSession(std::move(done));
            }));
        QVERIFY(stored.value);
        QCOMPARE((*stored.value)->authState()->accessToken(), second->authState()->accessToken());
    }

    void secondAccountIsAppendedAndMadeActive()
    {
        QVERIFY(!signIn().error);
        m_sandbox->setConsent(QStringLiteral("grant"), Sandbox::MiraSub);
        useFreshBrowser();
        QVERIFY(!signIn().error);

        QCOMPARE(m_registry->accounts().size(), 2);
        QCOMPARE(m_registry->accounts()[0].id, Sandbox::AlexSub);
        QCOMPARE(m_registry->accounts()[1],
                 (Account{Sandbox::MiraSub, MiraEmail, QStringLiteral("Mira Okafor")}));
        QCOMPARE(m_registry->activeAccountID(), Sandbox::MiraSub);
        std::shared_ptr<oauth::AuthSession> alex, mira;
        QVERIFY(storedSession(Sandbox::AlexSub, alex));
        QVERIFY(storedSession(Sandbox::MiraSub, mira));
        QCOMPARE(mira->userID, Sandbox::MiraSub);
    }

    void providerRefusalsEndTheSignIn_data()
    {
        QTest::addColumn<QString>("consent");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("descriptionStart");
        QTest::newRow("denied") << QStringLiteral("access_denied") << int(oauth::OAuthAccessDenied)
                                << QStringLiteral("access_denied");
        QTest::newRow("another issuer") << QStringLiteral("wrong_issuer") << int(oauth::OAuthClientError)
                                        << QStringLiteral("Issuer mismatch, expecting ");
        QTest::newRow("no issuer though advertised")
            << QStringLiteral("no_issuer") << int(oauth::OAuthClientError)
            << QStringLiteral("Issuer mismatch, expecting %1 but got none")
                   .arg(m_sandbox->baseUrl().toString());
    }

    void providerRefusalsEndTheSignIn()
    {
        QFETCH(QString, consent);
        QFETCH(int, code);
        QFETCH(QString, descriptionStart);
        m_sandbox->setConsent(consent);
        const auto outcome = signIn();
        QVERIFY(outcome.error);
        QCOMPARE(outcome.error->domain(), oauth::AuthorizationErrorDomain);
        QCOMPARE(outcome.error->code(), code);
        QVERIFY2(outcome.error->description().startsWith(descriptionStart),
                 qPrintable(outcome.error->description()));
        if (consent == QLatin1String("access_denied"))
            QCOMPARE(outcome.error->description(), QStringLiteral("access_denied"));
        // The browser is told why, as text; nothing is registered.
        QCOMPARE(m_browser->listenerPages.value(1).status, 303);
        const HeadlessBrowser::Page page = m_browser->listenerPages.value(2);
        verifySelfContainedPage(page);
        QVERIFY2(page.body.contains(outcome.error->description().left(20).toHtmlEscaped().toUtf8()),
                 page.body);
        QVERIFY(m_registry->accounts().isEmpty());
        QVERIFY(!m_registry->activeAccountID());
        QVERIFY(!m_registry->hasPendingSignIn());
        QCOMPARE(tokenRequests(), 0);
    }

    // Any page or process that finds the port may answer first: without the
    // request's state it gets 400, and the real redirect still completes.
    void foreignAnswersBeforeTheRedirectAreRefused()
    {
        m_browser->sentFirst = {"/?error=access_denied&error_description=%3Cb%3EAccount%20locked%3C%2Fb%3E",
                                "/?error=access_denied&state=guessed", "/?code=4%2F0Aforged&state=guessed"};
        QVERIFY(!signIn().error);
        const QList<HeadlessBrowser::Page> &pages = m_browser->listenerPages;
        QCOMPARE(pages.size(), 6);
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(pages[i].status, 400);
        QCOMPARE(pages[4].status, 303);
        QCOMPARE(pages[5].status, 200);
        QVERIFY(!pages[5].body.contains("Account locked"));
        QCOMPARE(m_registry->accounts().size(), 1);
        QCOMPARE(tokenRequests(), 1);
    }

    void browserThatCannotOpenFailsTheSignIn()
    {
        m_browser->accept = false;
        const auto outcome = runTask(m_registry->addAccount(), 30000);
        QVERIFY(outcome.error);
        QCOMPARE(outcome.error->domain(), oauth::GeneralErrorDomain);
        QCOMPARE(outcome.error->code(), -10);
        QCOMPARE(outcome.error->description(), QStringLiteral("Unable to open the browser."));
        QVERIFY(!m_registry->hasPendingSignIn());
        const QUrl redirect(
            m_browser->openedQuery().queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded));
        QVERIFY(portRefused(redirect.port()));
    }

    void failedDiscoveryStartsNoListener()
    {
        m_sandbox->injectFault(QJsonObject{{"route", "GET /.well-known/openid-configuration"},
                                           {"status", 404},
                                           {"body", "gone"},
                                           {"count", 1}});
        const auto outcome = runTask(m_registry->addAccount(), 30000);
        QVERIFY(outcome.error);
        QCOMPARE(outcome.error->domain(), oauth::GeneralErrorDomain);
        QCOMPARE(outcome.error->code(), -5);
        QVERIFY(outcome.error->description().startsWith(QStringLiteral("Non-200 HTTP response (404)")));
        QVERIFY(m_browser->opened.isEmpty());
        QVERIFY(!m_registry->hasPendingSignIn());
    }

    // The real browser: it follows the 303, and the page it ends on names the
    // account. That page, rendered again from a file, is saved as a picture.
    void chromiumAsTheBrowser()
    {
        if (!QFile::exists(chromiumPath()))
            QSKIP("Chromium is not installed.");
        QTemporaryDir profile;
        QProcess browser;
        support::ScopedUrlOpener opener([&](const QUrl &url) {
            browser.start(chromiumPath(),
                          chromiumArguments(profile.path(), QStringLiteral("--dump-dom"), url));
            return browser.waitForStarted(10000);
        });
        const auto outcome = runTask(m_registry->addAccount(), 60000);
        QVERIFY2(!outcome.error, qPrintable(outcome.error ? outcome.error->description() : QString()));
        QCOMPARE(m_registry->activeAccountID(), Sandbox::AlexSub);
        // The page is served by this process: keep its event loop running.
        TL_WAIT([&] { return browser.state() == QProcess::NotRunning; }, 30000, "Chromium to dump the page");
        const QByteArray dom = browser.readAllStandardOutput();
        QVERIFY2(dom.contains("signed in to Tarnlight as " + AlexEmail.toUtf8()), dom.constData());

        QFile page(profile.filePath(QStringLiteral("done.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(dom);
        page.close();
        QDir().mkpath(QStringLiteral(TL_BINARY_DIR "/screenshots"));
        const QString picture = QStringLiteral(TL_BINARY_DIR "/screenshots/signin-complete.png");
        QFile::remove(picture);
        QProcess renderer;
        renderer.start(chromiumPath(),
                       chromiumArguments(profile.path(), QStringLiteral("--screenshot=") + picture,
                                         QUrl::fromLocalFile(page.fileName())));
        QVERIFY(renderer.waitForFinished(30000));
        QVERIFY2(!QImage(picture).isNull(), qPrintable(picture));
    }
};

QTEST_GUILESS_MAIN(SignInTest)
#include "tst_signin.moc"
