// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "../shell/ShellTestSupport.h"
#include "accounts/GoogleAuthService.h"
#include "i18n/Translations.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every text shown by a visible item under item, including those a Repeater
// or Loader made (they have no QObject parent to find them by).
void collectVisibleTexts(QQuickItem *item, QStringList &texts)
{
    if (!item->isVisible())
        return;
    const QString text = item->property("text").toString();
    if (!text.isEmpty())
        texts << text;
    for (QQuickItem *child : item->childItems())
        collectVisibleTexts(child, texts);
}

// A registry over a private settings file, with or without a signed-in
// account (its session is not in the keyring, so its tab shows an error).
struct Registry
{
    explicit Registry(bool signedIn)
    {
        store = std::make_unique<QSettings>(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        if (signedIn) {
            const Account alex{QStringLiteral("de-test-alex"), QStringLiteral("alex.rivera@example.com"),
                               QStringLiteral("Alex Rivera")};
            store->setValue(GoogleAuthService::accountsKey,
                            QJsonDocument(QJsonArray{alex.toJson()}).toJson(QJsonDocument::Compact));
            store->setValue(GoogleAuthService::activeKey, alex.id);
        }
        auth = std::make_unique<GoogleAuthService>(store.get());
    }
    QTemporaryDir dir;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<GoogleAuthService> auth;
};

} // namespace

// Run with LANG=de_DE.UTF-8: the popover's fixed texts come out German, as
// the app installs its catalogue from the user's locale.
class PopoverGermanTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(tl::installTranslations(*qApp), "no catalogue for the locale from LANG"); }

    void fixedTextsAreGerman_data()
    {
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QStringList>("german");
        QTest::newRow("signed out") << false << QStringList{"Kein Konto", "Einstellungen", "Beenden"};
        QTest::newRow("signed in") << true << QStringList{"Einstellungen", "Beenden", "E-Mail", "Kalender"};
    }

    void fixedTextsAreGerman()
    {
        QFETCH(bool, signedIn);
        QFETCH(QStringList, german);
        Registry registry(signedIn);
        qmltest::View view;
        QVERIFY(shelltest::loadPopover(view, registry.auth.get()));
        const auto showsAll = [&] {
            QStringList texts;
            collectVisibleTexts(view.root.get(), texts);
            return std::all_of(german.begin(), german.end(),
                               [&](const QString &t) { return texts.contains(t); });
        };
        tltest::waitUntil(showsAll); // the popover builds its rows
        QStringList shown;
        collectVisibleTexts(view.root.get(), shown);
        for (const QString &text : german)
            QVERIFY2(shown.contains(text), qPrintable(text + " not in: " + shown.join(" | ")));
        for (const QString &english : {"No account", "Settings", "Quit", "Calendar"})
            QVERIFY2(!shown.contains(english), qPrintable(QStringLiteral("English: ") + english));
        view.save(signedIn ? QStringLiteral("popover-de-signed-in") : QStringLiteral("popover-de"));
    }
};

QTEST_MAIN(PopoverGermanTest)
#include "tst_popover_german.moc"
