// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DataRows.h"
#include "mail/GmailLink.h"
#include "mail/MimeEncoding.h"
#include "mail/ReplyDraft.h"

#include <QUrlQuery>
#include <QRegularExpression>
#include <QTest>

namespace {

EmailMessage replied(const QString &from, const QString &subject)
{
    EmailMessage message;
    message.id = QStringLiteral("m1");
    message.threadId = QStringLiteral("t1");
    message.from = from;
    message.subject = subject;
    return message;
}

QStringList headerLines(const QByteArray &text)
{
    const qsizetype end = text.indexOf("\r\n\r\n");
    return QString::fromUtf8(text.left(end)).split(QStringLiteral("\r\n"));
}

} // namespace

class ReplyDraftTest : public QObject
{
    Q_OBJECT

private slots:
    void prefixesSubject_data();
    void prefixesSubject();
    void writesThreadingLines();
    void keepsInjectedLinesInsideTheirHeader();
    void encodesNonAsciiHeaderValues();
    void endsBodyLinesWithCrLf();
    void encodesWithoutPadding();
    void linksToThread();
};

void ReplyDraftTest::prefixesSubject_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("expected");
    tltest::row("Re:", "Re: Lunch", "Re: Lunch");
    tltest::row("RE:", "RE: Lunch", "RE: Lunch");
    tltest::row("re: no space", "re:Lunch", "re:Lunch");
    tltest::row("Fwd:", "Fwd: Lunch", "Re: Fwd: Lunch");
    tltest::row("Reply", "Reply needed", "Re: Reply needed");
    tltest::row("empty", "", "Re: ");
}

void ReplyDraftTest::prefixesSubject()
{
    QFETCH(QString, subject);
    QFETCH(QString, expected);
    QCOMPARE(gmail::replySubject(subject), expected);
}

void ReplyDraftTest::writesThreadingLines()
{
    const EmailMessage message = replied("Ann <ann@example.com>", "Lunch");
    const QByteArray body = "Sure!\nSee you \xe2\x80\x94 B";

    const QByteArray withReferences = gmail::replyMessageText(message, "<M@x>", "<R1@x> <R2@x>",
                                                              QString::fromUtf8(body));
    QCOMPARE(headerLines(withReferences),
             QStringList({"To: Ann <ann@example.com>", "Subject: Re: Lunch", "In-Reply-To: <M@x>",
                          "References: <R1@x> <R2@x> <M@x>", "MIME-Version: 1.0",
                          "Content-Type: text/plain; charset=UTF-8", "Content-Transfer-Encoding: 8bit"}));
    // The body follows the empty line with CR LF line ends, nothing added.
    QVERIFY(withReferences.endsWith("8bit\r\n\r\nSure!\r\nSee you \xe2\x80\x94 B"));

    const QByteArray withoutReferences = gmail::replyMessageText(message, "<M@x>", "", "x");
    QVERIFY(headerLines(withoutReferences).contains("References: <M@x>"));

    // No Message-ID: no threading lines at all, even with References.
    const QStringList bare = headerLines(gmail::replyMessageText(message, "", "<R1@x>", "x"));
    QCOMPARE(bare,
             QStringList({"To: Ann <ann@example.com>", "Subject: Re: Lunch", "MIME-Version: 1.0",
                          "Content-Type: text/plain; charset=UTF-8", "Content-Transfer-Encoding: 8bit"}));
}

void ReplyDraftTest::keepsInjectedLinesInsideTheirHeader()
{
    const EmailMessage message = replied("Eve <eve@example.com>\r\nBcc: all@example.com",
                                         "Hi\nX-Injected: 1");
    const QByteArray text = gmail::replyMessageText(message, "<M@x>\rCc: a@b", "<R@x>\n\nbody", "x");
    const QStringList lines = headerLines(text);
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(0), QStringLiteral("To: Eve <eve@example.com>  Bcc: all@example.com"));
    QCOMPARE(lines.at(1), QStringLiteral("Subject: Re: Hi X-Injected: 1"));
    QCOMPARE(lines.at(2), QStringLiteral("In-Reply-To: <M@x> Cc: a@b"));
    QCOMPARE(lines.at(3), QStringLiteral("References: <R@x>  body <M@x> Cc: a@b"));
    QCOMPARE(text.count('\n'), 8); // seven header lines and the empty line
}

// Names and subjects beyond ASCII become encoded words on lines of at most
// 78 characters; addresses, ASCII values and the list's commas stay.
void ReplyDraftTest::encodesNonAsciiHeaderValues()
{
    const auto decode = [](const QString &line) {
        QString text;
        for (const QString &word : line.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
            if (word.startsWith("=?UTF-8?B?") && word.endsWith("?="))
                text += QString::fromUtf8(QByteArray::fromBase64(word.mid(10, word.size() - 12).toLatin1()));
        return text;
    };
    const QString name = QStringLiteral("Zo\u00eb M\u00fcller-\u0141ukasiewicz \U0001F4C4").repeated(3);
    const QByteArray to = gmail::headerLine("To", name + " <zoe@example.com>", true);
    QVERIFY(to.startsWith("To: =?UTF-8?B?"));
    QVERIFY(to.endsWith(" <zoe@example.com>\r\n"));
    const QStringList lines = QString::fromLatin1(to).split("\r\n", Qt::SkipEmptyParts);
    QVERIFY(lines.size() > 1);
    for (const QString &line : lines) {
        QVERIFY2(line.size() <= 78, qPrintable(line));
        QVERIFY(std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() < 0x80; }));
    }
    QCOMPARE(decode(lines.join(' ')), name); // the emoji's surrogates stay together

    const QByteArray list = gmail::headerLine(
        "To", "\"M\u00fcller, Zo\u00eb\" <z@x.example>, Bob <b@x.example>", true);
    QVERIFY(list.contains(" <z@x.example>, Bob <b@x.example>\r\n"));
    QCOMPARE(decode(QString::fromLatin1(list).section(" <z@", 0, 0)),
             QStringLiteral("M\u00fcller, Zo\u00eb"));

    const QString subject = QStringLiteral("Re: \u00dcberpr\u00fcfung der Vertr\u00e4ge");
    QCOMPARE(decode(QString::fromLatin1(gmail::headerLine("Subject", subject))), subject);
    QCOMPARE(gmail::headerLine("Subject", "Re: Lunch"), QByteArray("Subject: Re: Lunch\r\n"));
    for (const QString &word : gmail::encodedWords(QString(200, QChar(0x20AC))))
        QVERIFY(word.size() <= 75);
}

void ReplyDraftTest::endsBodyLinesWithCrLf()
{
    QCOMPARE(gmail::withCrLf("a\nb\rc\r\nd\n\n"), QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\n"));
    const EmailMessage message = replied("Ann <ann@example.com>", "Lunch");
    const QByteArray longLine(1200, 'x');
    const QByteArray text = gmail::replyMessageText(message, "", "",
                                                    QString::fromLatin1(longLine + "\nend "));
    QVERIFY(headerLines(text).contains("Content-Transfer-Encoding: quoted-printable"));
    const QByteArray body = text.mid(text.indexOf("\r\n\r\n") + 4);
    for (const QByteArray &line : body.split('\n'))
        QVERIFY(line.size() <= 77);
    QVERIFY(body.endsWith("\r\nend=20")); // a trailing space survives transport
}

void ReplyDraftTest::encodesWithoutPadding()
{
    // Lengths 0..5 cover every padding case; these bytes map to "+" and "/".
    for (const QByteArray &bytes :
         {QByteArray(), QByteArray("\xfb"), QByteArray("\xfb\xff"), QByteArray("\xfb\xff\xbf"),
          QByteArray("?>?>"), QByteArray("\xff\xff\xff\xfe\xfa")}) {
        const QString raw = gmail::base64UrlNoPadding(bytes);
        QVERIFY2(!raw.contains(u'+') && !raw.contains(u'/') && !raw.contains(u'='), qPrintable(raw));
        const auto back = QByteArray::fromBase64Encoding(raw.toLatin1(), QByteArray::Base64UrlEncoding);
        QCOMPARE(back.decoded, bytes);
    }
}

void ReplyDraftTest::linksToThread()
{
    const QUrl link = gmail::threadWebLink("ann@example.com", "18c2f", Provider::production());
    QCOMPARE(link.toString(QUrl::FullyEncoded),
             QStringLiteral("https://mail.google.com/mail/?authuser=ann%40example.com#all/18c2f"));
    // "+", "&", "#" and "%" in an address stay part of it; a "+" left bare would be read as a space.
    const QString odd = QStringLiteral("a+b&c=d#e%41@example.com");
    const QUrl oddLink = gmail::threadWebLink(odd, "t", Provider::production());
    QCOMPARE(QUrlQuery(oddLink).queryItemValue("authuser", QUrl::FullyDecoded), odd);
    QVERIFY(!oddLink.query(QUrl::FullyEncoded).contains(u'+'));
    QCOMPARE(oddLink.fragment(), QStringLiteral("all/t"));
}

QTEST_GUILESS_MAIN(ReplyDraftTest)
#include "tst_replydraft.moc"
