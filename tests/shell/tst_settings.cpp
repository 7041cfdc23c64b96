// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellTestSupport.h"
#include "ViewModelSupport.h"
#include "../accounts/tst_signin_support.h"

#include <QtTest>

using namespace shelltest;

// The settings window's content: the accounts list with its active marker,
// "Make Active", "Sign Out" and "Add Account", and the "General" note.
class SettingsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_resources;
    // Ids of this process only: test executables share one keyring.
    const Account m_alex = vmtest::account(QStringLiteral("alex"), QStringLiteral("Alex Rivera"));
    const Account m_mira = vmtest::account(QStringLiteral("mira"), QStringLiteral("Mira Okafor"));
    const Account m_sam = vmtest::account(QStringLiteral("sam"), QStringLiteral("Sam Empty"));

    static QQuickItem *row(qmltest::View &view, const Account &account)
    {
        return findItem(view, QStringLiteral("accountRow:") + account.id);
    }

    static QQuickItem *inRow(qmltest::View &view, const Account &account, const QString &name)
    {
        return findItem(row(view, account), name);
    }

    void saveBoth(qmltest::View &view, const QString &name)
    {
        qmltest::saveLightAndDark(view, QStringLiteral("settings-") + name);
    }

private slots:
    void initTestCase() { TL_START_SIGN_IN_VIEWS(m_sandbox, m_resources); }

    void init() { m_sandbox->reset(); }

    void listsAccountsWithTheActiveMarker()
    {
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        qmltest::View view;
        QVERIFY(loadSettings(view, registry.get()));
        QCOMPARE(text(view.find("accountsTabButton")), QStringLiteral("Accounts"));
        QCOMPARE(text(view.find("generalTabButton")), QStringLiteral("General"));
        QVERIFY(!isShown(view.find("accountsEmptyText")));
        QVERIFY(view.find("accountList")->height() >= 120);

        QCOMPARE(text(inRow(view, m_alex, "accountName")), m_alex.displayName);
        QCOMPARE(text(inRow(view, m_alex, "accountEmail")), m_alex.email);
        QVERIFY(row(view, m_alex)->y() < row(view, m_mira)->y());
        QVERIFY(isShown(inRow(view, m_alex, "activeMarker")));
        QCOMPARE(text(inRow(view, m_alex, "activeMarker")), QStringLiteral("Active"));
        QVERIFY(!isShown(inRow(view, m_alex, "makeActiveButton")));
        QVERIFY(!isShown(inRow(view, m_mira, "activeMarker")));
        QVERIFY(isShown(inRow(view, m_mira, "makeActiveButton")));
        QVERIFY(isShown(inRow(view, m_mira, "signOutButton")));
        QVERIFY(view.find("addAccountButton")->isEnabled());
        saveBoth(view, QStringLiteral("accounts"));

        click(view, inRow(view, m_mira, "makeActiveButton"));
        QCOMPARE(registry.get()->activeAccountID(), std::optional<QString>(m_mira.id));
        QTRY_VERIFY(isShown(inRow(view, m_mira, "activeMarker")));
        QVERIFY(isShown(inRow(view, m_alex, "makeActiveButton")));
    }

    // Signing out the active account makes the first remaining one active;
    // signing out the last one empties the list and brings the popover back
    // to the sign-in view.
    void signingOutActiveThenLastAccount()
    {
        vmtest::Registry registry({m_mira, m_alex, m_sam}, m_alex.id);
        qmltest::View settings;
        qmltest::View popover;
        QVERIFY(loadSettings(settings, registry.get()));
        QVERIFY(loadPopover(popover, registry.get()));
        QCOMPARE(text(popover.find("switcherLabel")), m_alex.displayName);

        click(settings, inRow(settings, m_alex, "signOutButton"));
        QTRY_VERIFY(!row(settings, m_alex));
        QCOMPARE(registry.get()->activeAccountID(), std::optional<QString>(m_mira.id));
        QTRY_VERIFY(isShown(inRow(settings, m_mira, "activeMarker")));
        QVERIFY(!isShown(inRow(settings, m_sam, "activeMarker")));
        QCOMPARE(text(popover.find("switcherLabel")), m_mira.displayName);

        click(settings, inRow(settings, m_sam, "signOutButton"));
        QTRY_VERIFY(!row(settings, m_sam));
        QVERIFY(isShown(inRow(settings, m_mira, "activeMarker")));
        QVERIFY(isShown(popover.find("tabPicker")));

        click(settings, inRow(settings, m_mira, "signOutButton"));
        QTRY_VERIFY(isShown(settings.find("accountsEmptyText")));
        QCOMPARE(text(settings.find("accountsEmptyText")),
                 QStringLiteral("No accounts yet. Add one to get started."));
        QVERIFY(!isShown(settings.find("accountList")));
        QVERIFY(registry.get()->accounts().isEmpty());
        QTRY_VERIFY(isShown(popover.find("signInView")));
        QCOMPARE(text(popover.find("switcherLabel")), QStringLiteral("No account"));
        saveBoth(settings, QStringLiteral("accounts-empty"));
    }

    // Each view keeps its own sign-in state: while the accounts tab waits for
    // the browser, the popover can still start a sign-in of its own.
    void addAccountRunsBesideThePopoversSignIn()
    {
        vmtest::Registry registry({}, std::nullopt);
        vmtest::OpenedUrls opened;
        QList<QUrl> &held = opened.urls;
        qmltest::View settings;
        qmltest::View popover;
        QVERIFY(loadSettings(settings, registry.get()));
        QVERIFY(loadPopover(popover, registry.get()));

        auto *add = settings.find("addAccountButton");
        click(settings, add);
        QVERIFY(!add->isEnabled());
        QVERIFY(isShown(settings.find("addAccountButtonSpinner")));
        QTRY_COMPARE(held.size(), 1);
        auto *signIn = popover.find("signInButton");
        QVERIFY(signIn->isEnabled());
        click(popover, signIn);
        QTRY_COMPARE(held.size(), 2);

        HeadlessBrowser first;
        HeadlessBrowser second;
        QVERIFY(first.open(held[0]));
        QTRY_VERIFY_WITH_TIMEOUT(add->isEnabled(), 15000);
        QVERIFY(!isShown(settings.find("addAccountButtonSpinner")));
        QVERIFY(second.open(held[1]));
        QTRY_VERIFY_WITH_TIMEOUT(!registry.get()->hasPendingSignIn(), 15000);
        QTRY_VERIFY(isShown(popover.find("tabPicker")));
        QCOMPARE(registry.get()->accounts().size(), 1);
        QTRY_VERIFY(isShown(inRow(settings, registry.get()->accounts().first(), "activeMarker")));
        signOutAndWait(*registry.get(), {registry.get()->accounts().first()});
    }

    void failedAddShowsErrorUntilNextAttempt()
    {
        vmtest::Registry registry({m_mira}, m_mira.id);
        HeadlessBrowser browser;
        support::ScopedUrlOpener opener([&](const QUrl &url) { return browser.open(url); });
        qmltest::View view;
        QVERIFY(loadSettings(view, registry.get()));
        m_sandbox->setConsent(QStringLiteral("access_denied"));
        auto *add = view.find("addAccountButton");
        click(view, add);
        QTRY_VERIFY_WITH_TIMEOUT(isShown(view.find("addAccountError")), 15000);
        QCOMPARE(text(view.find("addAccountError")), QStringLiteral("access_denied"));
        QVERIFY(add->isEnabled());
        saveBoth(view, QStringLiteral("accounts-failed"));

        m_sandbox->setConsent(QStringLiteral("grant"));
        click(view, add);
        QVERIFY(!isShown(view.find("addAccountError")));
        QTRY_VERIFY_WITH_TIMEOUT(add->isEnabled(), 15000);
        QVERIFY(!isShown(view.find("addAccountError")));
        QCOMPARE(registry.get()->accounts().size(), 2);
        signOutAndWait(*registry.get(), {registry.get()->accounts().last()});
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
