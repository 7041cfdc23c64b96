// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/EmailText.h"

#include <QTest>

class EmailTextTest : public QObject
{
    Q_OBJECT

private slots:
    void cleansBody_data();
    void cleansBody();
    void capsLongTextAtClusters();
};

void EmailTextTest::cleansBody_data()
{
    QTest::addColumn<QString>("lineBreak");
    QTest::newRow("LF") << QStringLiteral("\n");
    QTest::newRow("CR LF") << QStringLiteral("\r\n");
}

// Each case runs with LF and with CR LF line ends: real plain-text parts use
// CR LF, and their quotes and signatures must go just the same.
void EmailTextTest::cleansBody()
{
    QFETCH(QString, lineBreak);
    const auto text = [&](const QStringList &lines) { return lines.join(lineBreak); };

    QCOMPARE(EmailText::sanitized(
                 text({"Thanks!", "", "On Mon, 2 Jun 2025, the sender wrote:", "> earlier text"})),
             QStringLiteral("Thanks!"));
    // A quoted line is dropped, and the lines after it still count.
    QCOMPARE(EmailText::sanitized(text({"Hello", "> quoted", "  >> deeper", "World"})),
             QStringLiteral("Hello\nWorld"));
    // "From:" ends the text only once more than three lines are kept.
    QCOMPARE(EmailText::sanitized(text({"a", "b", "c", "d", "From: x", "tail"})),
             QStringLiteral("a\nb\nc\nd"));
    QCOMPARE(EmailText::sanitized(text({"a", "b", "c", "From: x", "tail"})),
             QStringLiteral("a\nb\nc\nFrom: x\ntail"));
    // Signature separators, with the trailing space or trimmed whitespace.
    QCOMPARE(EmailText::sanitized(text({"Body", "-- ", "Sig"})), QStringLiteral("Body"));
    QCOMPARE(EmailText::sanitized(text({"Body", "\t--", "Sig"})), QStringLiteral("Body"));
    QCOMPARE(EmailText::sanitized(text({"Body", "---", "kept"})), QStringLiteral("Body\n---\nkept"));
    // Blank runs shrink to one empty line; kept lines stay untrimmed inside.
    QCOMPARE(EmailText::sanitized(text({"", " a", "", "", "", "  b", "", ""})), QStringLiteral("a\n\n  b"));
    // "wrote:" must end the trimmed line.
    QCOMPARE(EmailText::sanitized(text({"On Monday I wrote: hi", "x"})),
             QStringLiteral("On Monday I wrote: hi\nx"));
}

void EmailTextTest::capsLongTextAtClusters()
{
    const QString longText(5000, u'x');
    const QString cut = EmailText::sanitized(longText, 4000);
    QCOMPARE(cut, QString(4000, u'x') + QChar(0x2026));
    QCOMPARE(EmailText::sanitized(QString(4000, u'x'), 4000), QString(4000, u'x'));

    // An "e" with a combining accent is one character: never split in half.
    const QString accented = QStringLiteral("e\u0301");
    QCOMPARE(EmailText::sanitized(accented.repeated(3), 3), accented.repeated(3));
    QCOMPARE(EmailText::sanitized(accented.repeated(3), 2), accented.repeated(2) + QChar(0x2026));
    // Emoji outside the basic plane count as one character each.
    const QString face = QStringLiteral("\U0001F600");
    QCOMPARE(EmailText::sanitized(face.repeated(3), 2), face.repeated(2) + QChar(0x2026));
    QCOMPARE(EmailText::sanitized(QStringLiteral("abc"), 0), QString(QChar(0x2026)));
    QCOMPARE(EmailText::sanitized(QString()), QString());
}

QTEST_GUILESS_MAIN(EmailTextTest)
#include "tst_emailtext.moc"
