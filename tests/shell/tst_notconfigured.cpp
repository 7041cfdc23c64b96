// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ShellTestSupport.h"
#include "ViewModelSupport.h"

#include <QtTest>

using namespace shelltest;

// Without an OAuth client (no Secrets.plist anywhere this process looks):
// sign-in is replaced by a hint and adding is disabled, while switching
// between stored accounts still works.
class NotConfiguredTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_nowhere;
    const Account m_alex{QStringLiteral("nc-alex"), QStringLiteral("alex.rivera@example.com"),
                         QStringLiteral("Alex Rivera")};
    const Account m_mira{QStringLiteral("nc-mira"), QStringLiteral("mira.okafor@example.com"),
                         QStringLiteral("Mira Okafor")};

    void saveBoth(qmltest::View &view, const QString &name)
    {
        view.save(name);
        qmltest::usePalette(true);
        view.save(name + QStringLiteral("-dark"));
        qmltest::usePalette(false);
    }

private slots:
    void initTestCase()
    {
        // Read once per process: point every place it is looked for at nothing.
        qputenv("TARNLIGHT_RESOURCES", m_nowhere.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_nowhere.path().toUtf8());
        qmltest::usePalette(false);
    }

    void popoverExplainsInsteadOfOfferingSignIn()
    {
        vmtest::Registry registry({}, std::nullopt);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        QCOMPARE(text(view.find("signInTitle")), QStringLiteral("OAuth not configured"));
        QCOMPARE(text(view.find("signInMessage")),
                 QStringLiteral("Add a Secrets.plist with a Google “Desktop app” client ID "
                                "(see Secrets.example.plist), then relaunch."));
        QVERIFY(!isShown(view.find("signInButton")));
        QVERIFY(view.find("signInMessage")->property("lineCount").toInt() >= 2);
        saveBoth(view, QStringLiteral("popover-not-configured"));

        QVERIFY(openSwitcherMenu(view));
        QVERIFY(!view.find("addAccountItem")->isEnabled());
    }

    void switcherStillSwitchesAccounts()
    {
        vmtest::Registry registry({m_alex, m_mira}, m_alex.id);
        qmltest::View view;
        QVERIFY(loadPopover(view, registry.get()));
        QVERIFY(openSwitcherMenu(view));
        QVERIFY(!view.find("addAccountItem")->isEnabled());
        auto *miraItem = view.find(QStringLiteral("accountItem:") + m_mira.id);
        QVERIFY(miraItem->isEnabled());
        click(view, miraItem);
        QTRY_COMPARE(text(view.find("switcherLabel")), m_mira.displayName);
        QCOMPARE(registry.get()->activeAccountID(), std::optional<QString>(m_mira.id));
    }

    void accountsTabShowsTheHintAndADisabledButton()
    {
        vmtest::Registry registry({}, std::nullopt);
        qmltest::View view;
        QVERIFY(loadSettings(view, registry.get()));
        QCOMPARE(text(view.find("accountsEmptyText")),
                 QStringLiteral("Add a Secrets.plist with a Google “Desktop app” client ID, then relaunch."));
        QVERIFY(isShown(view.find("addAccountButton")));
        QVERIFY(!view.find("addAccountButton")->isEnabled());
        saveBoth(view, QStringLiteral("settings-accounts-not-configured"));
    }
};

QTEST_MAIN(NotConfiguredTest)
#include "tst_notconfigured.moc"
