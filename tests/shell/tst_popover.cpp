// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellTestSupport.h"
#include "ViewModelSupport.h"
#include "../accounts/tst_signin_support.h"
#include "brief/BriefViewModel.h"
#include "mail/MailViewModel.h"
#include "shell/app/TabCatalog.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace shelltest;

// The popover's root, header, switcher and sign-in view over registries in
// known states, with an OAuth client configured for the sandbox provider.
class PopoverTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_resources;
    // Ids of this process only: test executables share one keyring.
    const Account m_alex = vmtest::account(QStringLiteral("alex"), QStringLiteral("Alex Rivera"));
    const Account m_mira = vmtest::account(QStringLiteral("mira"), QStringLiteral("Mira Okafor"));

    void saveBoth(qmltest::View &view, const QString &name)
    {
        qmltest::saveLightAndDark(view, QStringLiteral("popover-") + name);
    }

    QObject *tabViewItem(qmltest::View &view)
    {
        auto *loader = view.find<QObject>(QStringLiteral("tabView"));
        return loader ? loader->property("item").value<QObject *>() : nullptr;
    }

    // Signs out whatever a sign-in registered, so its keychain item goes too.
    void signOutAll(GoogleAuthService *auth) { signOutAndWait(*auth, auth->accounts()); }

private slots:
    void initTestCase() { TL_START_SIGN_IN_VIEWS(m_sandbox, m_resources); }

    void init() { m_sandbox->reset(); }

    void noAccountShowsSignInAndFooterWithoutPicker()
    {
        vmtest::Registry registry({}, std::nullopt);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));

        QCOMPARE(text(view.find("switcherLabel")), QStringLiteral("No account"));
        QVERIFY(isShown(view.find("switcherPlaceholderSymbol")));
        QVERIFY(!isShown(view.find("switcherAvatar")));
        QVERIFY(isShown(view.find("signInView")));
        QCOMPARE(text(view.find("signInTitle")), QStringLiteral("Connect a Google account"));
        QVERIFY(isShown(view.find("signInButton")));
        QVERIFY(!isShown(view.find("signInError")));
        QVERIFY(!view.find("tabPicker"));
        QVERIFY(isShown(view.find("settingsButton")));
        QVERIFY(isShown(view.find("quitButton")));
        QCOMPARE(view.find("signInView")->height(), 320.0);
        QCOMPARE(view.root->width(), 380.0);
        saveBoth(view, QStringLiteral("no-account"));

        // The menu offers only "Add Account…", without a separator above it.
        QVERIFY(openSwitcherMenu(view));
        QVERIFY(!isShown(view.find("accountsSeparator")));
        QVERIFY(view.find("addAccountItem")->isEnabled());
    }

    void unlistedActiveAccountAsksToSelectOne()
    {
        vmtest::Registry registry({m_alex, m_mira}, QStringLiteral("someone-else"));
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        QCOMPARE(text(view.find("switcherLabel")), QStringLiteral("Select account"));
        QVERIFY(isShown(view.find("signInView")));
        QVERIFY(!view.find("tabPicker"));

        QVERIFY(openSwitcherMenu(view));
        auto *alexItem = view.find(QStringLiteral("accountItem:") + m_alex.id);
        auto *miraItem = view.find(QStringLiteral("accountItem:") + m_mira.id);
        QCOMPARE(text(alexItem), m_alex.email);
        QCOMPARE(text(miraItem), m_mira.email);
        QVERIFY(alexItem->y() < miraItem->y());
        // Nobody is active, so nobody has the check mark.
        QVERIFY(alexItem->property("icon").value<QObject *>() == nullptr
                || !alexItem->property("isActive").toBool());
        QVERIFY(isShown(view.find("accountsSeparator")));
        saveBoth(view, QStringLiteral("select-account"));

        click(view, miraItem);
        QTRY_COMPARE(registry.get()->activeAccountID(), std::optional<QString>(m_mira.id));
        QTRY_VERIFY(isShown(view.find("tabPicker")));
        QVERIFY(!view.find("signInView"));
        QCOMPARE(text(view.find("switcherLabel")), m_mira.displayName);
        QCOMPARE(text(view.find("avatarInitials")), QStringLiteral("MO"));
        QTRY_VERIFY(tabViewItem(view));
        QCOMPARE(view.find("tabView")->height(), 320.0);
        saveBoth(view, QStringLiteral("signed-in"));

        // The chosen account now carries the check mark.
        QVERIFY(openSwitcherMenu(view));
        QVERIFY(view.find(QStringLiteral("accountItem:") + m_mira.id)->property("isActive").toBool());
        QVERIFY(!view.find(QStringLiteral("accountItem:") + m_alex.id)->property("isActive").toBool());
    }

    void emptyInitialsShowQuestionMark_data()
    {
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("email");
        QTest::newRow("both empty") << QString() << QString();
        QTest::newRow("name of separators") << QStringLiteral(" .@ ") << QStringLiteral("sam@example.com");
    }

    void emptyInitialsShowQuestionMark()
    {
        QFETCH(QString, displayName);
        QFETCH(QString, email);
        const Account nameless{QStringLiteral("nameless"), email, displayName};
        vmtest::Registry registry({nameless}, nameless.id);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        QCOMPARE(text(view.find("avatarInitials")), QStringLiteral("?"));
        QVERIFY(isShown(view.find("switcherAvatar")));
    }

    // Which tab the body shows: its own view, handed the registry.
    QString shownTab(qmltest::View &view, GoogleAuthService *auth)
    {
        auto *loader = view.find<QObject>(QStringLiteral("tabView"));
        QObject *item = tabViewItem(view);
        if (!loader || !item)
            return {};
        const QString source = loader->property("source").toUrl().toString();
        const QString title = source.section(u'/', -2, -2);
        if (source != TabCatalog::viewUrl(title).toString()
            || GoogleAuthService::providedTo(qmlEngine(item)) != auth)
            return QStringLiteral("<wrong view %1>").arg(source);
        return title;
    }

    void switchingTabsCreatesANewTabView()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        QTRY_COMPARE(shownTab(view, registry.get()), QStringLiteral("Mail"));
        QPointer<QObject> firstMail = tabViewItem(view);

        click(view, findItem(view, "tabSegmentDrive"));
        QTRY_COMPARE(shownTab(view, registry.get()), QStringLiteral("Drive"));
        QTRY_VERIFY(firstMail.isNull()); // discarded with its state
        click(view, findItem(view, "tabSegmentCalendar"));
        QTRY_COMPARE(shownTab(view, registry.get()), QStringLiteral("Calendar"));
        click(view, findItem(view, "tabSegmentMail"));
        QTRY_COMPARE(shownTab(view, registry.get()), QStringLiteral("Mail"));
        QVERIFY(findItem(view, "tabSegmentMail")->property("checked").toBool());
        QVERIFY(!findItem(view, "tabSegmentDrive")->property("checked").toBool());
    }

    // The header's Brief button shows the brief in place of the tabs; an
    // item of Needs you opens its message expanded in the Mail tab.
    void briefItemOpensItsMessageInMail()
    {
        tltest::useSandboxModel(*m_sandbox);
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex));
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        click(view, findItem(view, "briefButton"));
        QTRY_VERIFY(tabViewItem(view) && tabViewItem(view)->objectName() == u"briefView");
        auto *brief = tabViewItem(view)->findChild<BriefViewModel *>();
        QTRY_VERIFY_WITH_TIMEOUT(brief->state().isLoaded(), 15000);
        click(view, findItem(view, "briefAsk"));
        QTRY_VERIFY_WITH_TIMEOUT(brief->answer() && !brief->answer()->items.isEmpty(), 15000);
        const QString id = brief->answer()->items.first().sourceId;
        QTRY_VERIFY(findItem(view, "briefItem:" + id));
        // Below the fold of the popover's 320 points: clicked without scrolling.
        QMetaObject::invokeMethod(findItem(view, "briefItem:" + id), "clicked");
        QTRY_COMPARE(shownTab(view, registry.get()), QStringLiteral("Mail"));
        auto *mail = tabViewItem(view)->findChild<MailViewModel *>();
        QTRY_COMPARE_WITH_TIMEOUT(mail->expandedID().value_or(QString()), id, 15000);
        QVERIFY(findItem(view, "tabSegmentMail")->property("checked").toBool());
    }

    void refreshIsDisabledWithoutAnActiveAccount()
    {
        vmtest::Registry registry({m_alex}, QStringLiteral("someone-else"));
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        auto *refresh = view.find("refreshButton");
        QVERIFY(isShown(refresh));
        QVERIFY(!refresh->isEnabled());
        QVERIFY(!view.find<QObject>("refreshTimer")->property("running").toBool());
        QVERIFY(!findShownText(view, QStringLiteral("Refresh")));
        const QPointF centre = refresh->mapToScene(QPointF(refresh->width() / 2, refresh->height() / 2));
        QTest::mouseMove(&view.window, centre.toPoint());
        QTRY_VERIFY(findShownText(view, QStringLiteral("Refresh")));
    }

    void footerOpensSettingsAndQuits()
    {
        vmtest::Registry registry({}, std::nullopt);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        QSignalSpy settings(view.root.get(), SIGNAL(settingsRequested()));
        QSignalSpy quit(&view.engine, &QQmlEngine::quit);
        click(view, view.find("settingsButton"));
        QCOMPARE(settings.count(), 1);
        QCOMPARE(quit.count(), 0);
        click(view, view.find("quitButton"));
        QTRY_COMPARE(quit.count(), 1);
    }

    // The menu's "Add Account…": one sign-in however often it is chosen
    // while one runs; the item comes back when it ends.
    void addAccountChosenTwiceStartsOneSignIn()
    {
        vmtest::Registry registry({m_mira}, m_mira.id);
        HeadlessBrowser browser;
        vmtest::OpenedUrls opened;
        QList<QUrl> &held = opened.urls;
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        auto *switcher = view.find("accountSwitcher");

        QVERIFY(openSwitcherMenu(view));
        auto *addItem = view.find("addAccountItem");
        click(view, addItem);
        QVERIFY(switcher->property("isAdding").toBool());
        QVERIFY(!addItem->isEnabled());
        // A second choice that slips through before the item is disabled.
        QMetaObject::invokeMethod(switcher, "addAccount");
        QTRY_COMPARE(held.size(), 1);
        QTest::qWait(300); // no second sign-in starts meanwhile
        QCOMPARE(held.size(), 1);
        QVERIFY(registry.get()->hasPendingSignIn());

        // Completing the one sign-in registers the account and frees the item.
        QVERIFY(browser.open(held.first()));
        QTRY_VERIFY_WITH_TIMEOUT(!switcher->property("isAdding").toBool(), 15000);
        QVERIFY(addItem->isEnabled());
        QCOMPARE(registry.get()->accounts().size(), 2);
        QCOMPARE(registry.get()->activeAccountID(), std::optional<QString>(Sandbox::AlexSub));
        QCOMPARE(text(view.find("switcherLabel")), QStringLiteral("Alex Rivera"));
        signOutAll(registry.get());
    }

    void failedSignInFromMenuShowsNothing()
    {
        vmtest::Registry registry({m_mira}, m_mira.id);
        m_sandbox->setConsent(QStringLiteral("access_denied"));
        HeadlessBrowser browser;
        support::ScopedUrlOpener opener([&](const QUrl &url) { return browser.open(url); });
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        auto *switcher = view.find("accountSwitcher");
        QVERIFY(openSwitcherMenu(view));
        click(view, view.find("addAccountItem"));
        QVERIFY(switcher->property("isAdding").toBool());
        QTRY_VERIFY_WITH_TIMEOUT(!switcher->property("isAdding").toBool(), 15000);
        QVERIFY(browser.opened.size() == 1);
        QVERIFY(view.find("addAccountItem")->isEnabled());
        QVERIFY(!findShownText(view, QStringLiteral("access_denied")));
        QCOMPARE(registry.get()->accounts(), QList<Account>{m_mira});
    }

    // Choosing an account while the sign-in view waits for the browser
    // discards that view; the sign-in still ends and registers its account.
    void signInOutlivesItsView()
    {
        vmtest::Registry registry({m_mira}, QStringLiteral("someone-else"));
        vmtest::OpenedUrls opened;
        QList<QUrl> &held = opened.urls;
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        click(view, view.find("signInButton"));
        QTRY_COMPARE(held.size(), 1);
        QVERIFY(openSwitcherMenu(view));
        click(view, view.find(QStringLiteral("accountItem:") + m_mira.id));
        QTRY_VERIFY(!view.find("signInView"));

        HeadlessBrowser browser;
        QVERIFY(browser.open(held.first()));
        QTRY_VERIFY_WITH_TIMEOUT(!registry.get()->hasPendingSignIn(), 15000);
        QCOMPARE(registry.get()->accounts().size(), 2);
        QTRY_COMPARE(text(view.find("switcherLabel")), QStringLiteral("Alex Rivera"));
        signOutAll(registry.get());
    }

    // From the popover's own button, against the sandbox: a refused consent
    // shows its error in red; the next attempt clears it at once and, once
    // the browser comes back, the body turns into the tabs.
    void signInFromPopoverEndToEnd()
    {
        vmtest::Registry registry({}, std::nullopt);
        HeadlessBrowser browser;
        support::ScopedUrlOpener opener([&](const QUrl &url) { return browser.open(url); });
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));

        m_sandbox->setConsent(QStringLiteral("access_denied"));
        click(view, view.find("signInButton"));
        QTRY_VERIFY_WITH_TIMEOUT(isShown(view.find("signInError")), 15000);
        auto *error = view.find("signInError");
        QCOMPARE(text(error), QStringLiteral("access_denied"));
        const QColor red = error->property("color").value<QColor>();
        QVERIFY(red.red() > 2 * red.green() && red.red() > 2 * red.blue());
        QVERIFY(view.find("signInButton")->isEnabled());
        saveBoth(view, QStringLiteral("sign-in-failed"));

        m_sandbox->setConsent(QStringLiteral("grant"));
        auto *button = view.find("signInButton");
        click(view, button);
        QVERIFY(!isShown(view.find("signInError")));
        QVERIFY(!button->isEnabled());
        QVERIFY(isShown(view.find("signInButtonSpinner")));

        QTRY_VERIFY_WITH_TIMEOUT(isShown(view.find("tabPicker")), 15000);
        QCOMPARE(browser.opened.size(), 2);
        QVERIFY(!view.find("signInView"));
        QCOMPARE(text(view.find("switcherLabel")), QStringLiteral("Alex Rivera"));
        QCOMPARE(text(view.find("avatarInitials")), QStringLiteral("AR"));
        QTRY_VERIFY(tabViewItem(view));
        signOutAll(registry.get());
        QTRY_VERIFY(isShown(view.find("signInView")));
    }
};

QTEST_MAIN(PopoverTest)
#include "tst_popover.moc"
