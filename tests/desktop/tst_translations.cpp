// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DataRows.h"
#include "ai/AIService.h"
#include "i18n/Translations.h"
#include "accounts/AuthError.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> readCatalogue(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            const bool numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
            Message message{context, {}, {}, false};
            QStringList forms; // a text with %n has one translation per plural form
            while (xml.readNextStartElement()) {
                if (xml.name() == u"source") {
                    message.source = xml.readElementText();
                } else if (xml.name() == u"translation") {
                    message.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
                    if (!numerus)
                        forms << xml.readElementText();
                    while (numerus && xml.readNextStartElement())
                        forms << xml.readElementText();
                } else {
                    xml.skipCurrentElement();
                }
            }
            for (const QString &form : forms.isEmpty() ? QStringList{QString()} : forms) {
                message.translation = form;
                messages << message;
            }
        }
    }
    return messages;
}

QStringList catalogues()
{
    return QDir(QStringLiteral(TL_SOURCE_DIR "/translations"))
        .entryList({QStringLiteral("tarnlight_*.ts")}, QDir::Files, QDir::Name);
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%(?:n|L?\\d+)"));
    QStringList found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

// Removes every catalogue this test installed, so each case starts in English.
void removeTranslators()
{
    for (QTranslator *t : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

} // namespace

// The app's catalogues: complete for every text in the sources, built into
// the binary, and chosen by the user's locale with English as the fallback.
class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { removeTranslators(); }

    void followsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("german");
        tltest::row("de_DE", "de_DE", true);
        tltest::row("de_AT falls back to de", "de_AT", true);
        tltest::row("de_CH", "de_CH", true);
        tltest::row("fr_FR is English", "fr_FR", false);
        tltest::row("en_US is English", "en_US", false);
        tltest::row("C is English", "C", false);
    }

    void followsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(bool, german);
        QCOMPARE(tl::installTranslations(*QCoreApplication::instance(), QLocale(locale)), german);
        QCOMPARE(authErrorDescription(AuthError::cancelled),
                 german ? QStringLiteral("Die Anmeldung wurde abgebrochen.")
                        : QStringLiteral("Sign-in was cancelled."));
        QCOMPARE(AIService::unavailableMessage(AIService::Reason::Other),
                 german ? QStringLiteral("Das lokale Modell ist nicht verfügbar.")
                        : QStringLiteral("The local model is unavailable."));
    }

    // A .ts file in the repo that is not compiled in would silently show English.
    void everyCatalogueIsBuiltIn()
    {
        QStringList expected;
        for (const QString &file : catalogues())
            expected << file.mid(qstrlen("tarnlight_")).chopped(3);
        QVERIFY(expected.contains(QStringLiteral("de")));
        QStringList built = tl::translatedLanguages();
        built.sort();
        QCOMPARE(built, expected);
    }

    // Runs lupdate over today's sources into a copy of each catalogue: a text
    // added to the code without a translation shows up here as unfinished.
    void everySourceTextIsTranslated()
    {
        QTemporaryDir dir;
        for (const QString &file : catalogues()) {
            const QString copy = dir.filePath(file);
            QVERIFY(QFile::copy(QStringLiteral(TL_SOURCE_DIR "/translations/") + file, copy));
            QProcess lupdate;
            lupdate.start(
                QStringLiteral(TL_LUPDATE),
                {QStringLiteral("-silent"), QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                 QStringLiteral("none"), QStringLiteral("-I"), QStringLiteral(TL_SOURCE_DIR "/src"),
                 QStringLiteral("@" TL_BINARY_DIR "/translations/sources.lst"), QStringLiteral("-ts"), copy});
            QVERIFY(lupdate.waitForFinished(120000));
            QCOMPARE(lupdate.exitCode(), 0);
            const QList<Message> messages = readCatalogue(copy);
            QVERIFY(!messages.isEmpty());
            QStringList missing;
            for (const Message &m : messages)
                if (!m.finished || m.translation.isEmpty())
                    missing << m.context + QStringLiteral(": ") + m.source;
            QVERIFY2(missing.isEmpty(),
                     qPrintable(file + QStringLiteral(" lacks (run scripts/update-translations):\n")
                                + missing.join(u'\n')));
        }
    }

    // Every text a user sees is in the catalogue (see above): none of them may
    // name another platform's parts.
    void noTextNamesAnotherPlatform()
    {
        static const QRegularExpression foreign(
            QStringLiteral("\\bMac\\b|Apple|System Settings|Systemeinstellungen|menu bar|Menüleiste"));
        for (const QString &file : catalogues()) {
            for (const Message &m : readCatalogue(QStringLiteral(TL_SOURCE_DIR "/translations/") + file)) {
                QVERIFY2(!foreign.match(m.source).hasMatch(), qPrintable(m.source));
                QVERIFY2(!foreign.match(m.translation).hasMatch(), qPrintable(m.translation));
            }
        }
    }

    // A dropped or mistyped %1 loses the value it stands for; a dropped
    // ellipsis hides that a menu item asks for more.
    void translationsKeepPlaceholdersAndEllipses()
    {
        for (const QString &file : catalogues()) {
            for (const Message &m : readCatalogue(QStringLiteral(TL_SOURCE_DIR "/translations/") + file)) {
                const QString where = file + QStringLiteral(": ") + m.source;
                QVERIFY2(placeholders(m.translation) == placeholders(m.source), qPrintable(where));
                QVERIFY2(m.source.endsWith(u'…') == m.translation.endsWith(u'…'), qPrintable(where));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TranslationsTest)
#include "tst_translations.moc"
