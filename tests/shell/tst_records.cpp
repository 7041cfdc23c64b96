// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DataRows.h"
#include "accounts/Account.h"
#include "accounts/AccountColour.h"
#include "accounts/AuthError.h"
#include "calendar/CalendarEvent.h"
#include "drive/DriveItem.h"
#include "mail/EmailMessage.h"
#include "shell/app/TarnTab.h"

#include <QJsonDocument>
#include <QLocale>
#include <QSet>
#include <QTest>

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void initials_data()
    {
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("expected");
        tltest::row("two words", "Ada Lovelace", "ada@example.com", "AL");
        tltest::row("three words use two", "ada king lovelace", "", "AK");
        tltest::row("one word", "Ada", "", "A");
        tltest::row("dotted local part", "", "ada.lovelace@example.com", "AL");
        tltest::row("single local part takes domain", "", "ada@example.com", "AE");
        tltest::row("both empty", "", "", "");
        tltest::row("separators only, email ignored", " .@ ", "ada@example.com", "");
        tltest::row("runs of separators", "..Ada   @@Byron.", "", "AB");
        tltest::row("combining mark stays whole", "e\u0301mile zola", "", "E\u0301Z");
        tltest::row("flag is one character", "\U0001F1E9\U0001F1EA team", "", "\U0001F1E9\U0001F1EAT");
        tltest::row("full upper-casing", "\u00DFlo", "", "SS");
    }
    void initials()
    {
        QFETCH(QString, displayName);
        QFETCH(QString, email);
        QFETCH(QString, expected);
        QCOMPARE((Account{"id", email, displayName}.initials()), expected);
    }

    // The same id gives the same colour in every run (no seeded hash), ids
    // spread over the palette, and white initials stay legible on each.
    void accountColoursAreStableSpreadAndLegible()
    {
        QCOMPARE(accountColour(QStringLiteral("108000000000000000001")),
                 accountColour(QStringLiteral("108000000000000000001")));
        QCOMPARE((Account{"108000000000000000002", "", ""}.colour()), accountColour("108000000000000000002"));
        QSet<QRgb> used;
        for (int i = 0; i < 64; ++i)
            used.insert(accountColour(QStringLiteral("1080000000000000%1").arg(i, 5, 10, QChar(u'0'))).rgb());
        QCOMPARE(used.size(), accountPalette().size());
        const auto luminance = [](const QColor &c) {
            const auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
        };
        for (const QColor &colour : accountPalette())
            QVERIFY2(1.05 / (luminance(colour) + 0.05) >= 4.5, qPrintable(colour.name()));
    }

    void initialsIgnoreTurkishLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        QCOMPARE((Account{"id", "", "ivan ilyich"}.initials()), QStringLiteral("II"));
        QLocale::setDefault(saved);
    }

    void accountJson()
    {
        const Account account{"123", "a@b.c", "A B"};
        QCOMPARE(Account::fromJson(account.toJson()), account);
        QCOMPARE(account.toJson().keys(), (QStringList{"displayName", "email", "id"}));
        const auto parse = [](const char *json) {
            return Account::fromJson(QJsonDocument::fromJson(json).object());
        };
        QVERIFY(!parse(R"({"id":"1","email":"a@b.c"})"));
        QVERIFY(!parse(R"({"id":1,"email":"a@b.c","displayName":"x"})"));
        QVERIFY(parse(R"({"id":"1","email":"a@b.c","displayName":"x","extra":true})"));
    }

    void fromDisplay_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("expected");
        tltest::row("name and address", "Ada Lovelace <ada@example.com>", "Ada Lovelace");
        tltest::row("quoted name", "\"Lovelace, Ada\" <ada@example.com>", "Lovelace, Ada");
        tltest::row("single quotes and tabs", "\t'Ada' <a@b>", "Ada");
        tltest::row("address only", "<ada@example.com>", "<ada@example.com>");
        tltest::row("no angle", "ada@example.com", "ada@example.com");
        tltest::row("only quotes before angle", "\"\" <a@b>", "\"\" <a@b>");
        tltest::row("angle inside the quoted name", "\"Ops <alerts>\" <ops@example.com>", "Ops <alerts>");
        tltest::row("line break is not trimmed", "Ada\n <a@b>", "Ada\n");
    }
    void fromDisplay()
    {
        QFETCH(QString, from);
        QFETCH(QString, expected);
        EmailMessage message;
        message.from = from;
        QCOMPARE(message.fromDisplay(), expected);
    }

    void systemImage_data()
    {
        QTest::addColumn<QString>("mimeType");
        QTest::addColumn<QString>("icon");
        tltest::row("folder", "application/vnd.google-apps.folder", "folder");
        tltest::row("sheet", "application/vnd.google-apps.spreadsheet", "tablecells");
        tltest::row("xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
                    "tablecells");
        tltest::row("docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
                    "doc.text");
        tltest::row("slides", "application/vnd.google-apps.presentation", "rectangle.on.rectangle");
        tltest::row("image", "image/png", "photo");
        tltest::row("video", "video/mp4", "film");
        tltest::row("pdf", "application/pdf", "doc.richtext");
        tltest::row("text", "text/plain", "doc");
        tltest::row("case-sensitive", "Image/PNG", "doc");
    }
    void systemImage()
    {
        QFETCH(QString, mimeType);
        QFETCH(QString, icon);
        DriveItem item;
        item.mimeType = mimeType;
        QCOMPARE(item.systemImage(), icon);
    }

    void timeLabel()
    {
        CalendarEvent event;
        event.isAllDay = true;
        QCOMPARE(event.timeLabel(), QString());
        event.start = QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC);
        QCOMPARE(event.timeLabel(), QStringLiteral("All day"));
        event.isAllDay = false;
        // Never seconds, also where the locale's short format has them.
        for (const QLocale::Language language : {QLocale::C, QLocale::English, QLocale::German}) {
            const QLocale before;
            QLocale::setDefault(QLocale(language));
            event.start = QDateTime(QDate(2026, 3, 5), QTime(9, 41, 27), Qt::LocalTime);
            const QString label = event.timeLabel();
            QLocale::setDefault(before);
            QVERIFY2(label.contains(QStringLiteral("41")) && !label.contains(QStringLiteral("27")),
                     qPrintable(label));
        }
    }

    void relativeDates()
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QCOMPARE(relativeLabel(std::nullopt), QString());
        const QString past = relativeLabel(now.addSecs(-2 * 3600 - 30), now);
        const QString future = relativeLabel(now.addDays(3).addSecs(60), now);
        QVERIFY2(past.contains(u'2') && past != future, qPrintable(past));
        QVERIFY2(future.contains(u'3'), qPrintable(future));
        // Under a minute old, or a little ahead through clock skew: "now".
        const QString justNow = relativeLabel(now.addSecs(-59), now);
        QCOMPARE(relativeLabel(now.addSecs(20), now), justNow);
        QVERIFY2(!justNow.contains(u'5') && justNow != relativeLabel(now.addSecs(-60), now),
                 qPrintable(justNow));
        if (QLocale().language() == QLocale::C)
            QCOMPARE(justNow, QStringLiteral("now"));
        // The C locale counts in English: one day is singular.
        if (QLocale().language() == QLocale::C)
            QCOMPARE(relativeLabel(now.addSecs(-86400 - 60), now), QStringLiteral("1 day ago"));
    }

    void tabs()
    {
        QCOMPARE(allTarnTabs(), (QList<TarnTab>{TarnTab::mail, TarnTab::drive, TarnTab::calendar}));
        QCOMPARE(tarnTabFromRawValue("Drive"), TarnTab::drive);
        QVERIFY(!tarnTabFromRawValue("drive"));
        QCOMPARE(tarnTabSystemImage(TarnTab::calendar), QStringLiteral("calendar"));
    }

    void equalityAndHashCoverEveryField()
    {
        EmailMessage a;
        a.id = "1";
        EmailMessage b = a;
        QCOMPARE(qHash(a), qHash(b));
        b.isUnread = true;
        QVERIFY(a != b);
        b = a;
        b.date = QDateTime::currentDateTimeUtc();
        QVERIFY(a != b);
        QSet<DriveItem> items{DriveItem{"1", "a", "text/plain", {}, {}},
                              DriveItem{"1", "a", "text/plain", {}, QString("link")}};
        QCOMPARE(items.size(), 2);
    }

    void authErrorTexts()
    {
        QCOMPARE(toError(AuthError::noSession).description(),
                 QStringLiteral("No saved session for this account. Sign in again."));
        QCOMPARE(authErrorCase(toError(AuthError::cancelled)), AuthError::cancelled);
        QVERIFY(!authErrorCase(Error("other", 1)));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
