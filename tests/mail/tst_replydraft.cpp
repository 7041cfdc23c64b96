#include "mail/GmailLink.h"
#include "mail/ReplyDraft.h"

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
    void encodesWithoutPadding();
    void linksToThread();
};

void ReplyDraftTest::prefixesSubject_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Re:") << "Re: Lunch" << "Re: Lunch";
    QTest::newRow("RE:") << "RE: Lunch" << "RE: Lunch";
    QTest::newRow("re: no space") << "re:Lunch" << "re:Lunch";
    QTest::newRow("Fwd:") << "Fwd: Lunch" << "Re: Fwd: Lunch";
    QTest::newRow("Reply") << "Reply needed" << "Re: Reply needed";
    QTest::newRow("empty") << "" << "Re: ";
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

    const QByteArray withReferences = gmail::replyMessageText(message, "<M@x>", "<R1@x> <R2@x>", QString::fromUtf8(body));
    QCOMPARE(headerLines(withReferences),
             QStringList({"To: Ann <ann@example.com>", "Subject: Re: Lunch", "In-Reply-To: <M@x>",
                          "References: <R1@x> <R2@x> <M@x>", "MIME-Version: 1.0",
                          "Content-Type: text/plain; charset=UTF-8"}));
    // The body follows the empty line byte for byte, LF kept, nothing added.
    QVERIFY(withReferences.endsWith("charset=UTF-8\r\n\r\n" + body));

    const QByteArray withoutReferences = gmail::replyMessageText(message, "<M@x>", "", "x");
    QVERIFY(headerLines(withoutReferences).contains("References: <M@x>"));

    // No Message-ID: no threading lines at all, even with References.
    const QStringList bare = headerLines(gmail::replyMessageText(message, "", "<R1@x>", "x"));
    QCOMPARE(bare, QStringList({"To: Ann <ann@example.com>", "Subject: Re: Lunch", "MIME-Version: 1.0",
                                "Content-Type: text/plain; charset=UTF-8"}));
}

void ReplyDraftTest::keepsInjectedLinesInsideTheirHeader()
{
    const EmailMessage message = replied("Eve <eve@example.com>\r\nBcc: all@example.com",
                                         "Hi\nX-Injected: 1");
    const QByteArray text = gmail::replyMessageText(message, "<M@x>\rCc: a@b", "<R@x>\n\nbody", "x");
    const QStringList lines = headerLines(text);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(0), QStringLiteral("To: Eve <eve@example.com>  Bcc: all@example.com"));
    QCOMPARE(lines.at(1), QStringLiteral("Subject: Re: Hi X-Injected: 1"));
    QCOMPARE(lines.at(2), QStringLiteral("In-Reply-To: <M@x> Cc: a@b"));
    QCOMPARE(lines.at(3), QStringLiteral("References: <R@x>  body <M@x> Cc: a@b"));
    QCOMPARE(text.count('\n'), 7); // six header lines and the empty line
}

void ReplyDraftTest::encodesWithoutPadding()
{
    // Lengths 0..5 cover every padding case; these bytes map to "+" and "/".
    for (const QByteArray &bytes : {QByteArray(), QByteArray("\xfb"), QByteArray("\xfb\xff"),
                                    QByteArray("\xfb\xff\xbf"), QByteArray("?>?>"), QByteArray("\xff\xff\xff\xfe\xfa")}) {
        const QString raw = gmail::base64UrlNoPadding(bytes);
        QVERIFY2(!raw.contains(u'+') && !raw.contains(u'/') && !raw.contains(u'='), qPrintable(raw));
        const auto back = QByteArray::fromBase64Encoding(raw.toLatin1(), QByteArray::Base64UrlEncoding);
        QCOMPARE(back.decoded, bytes);
    }
}

void ReplyDraftTest::linksToThread()
{
    const QList<Account> accounts{{"a", "a@x", "A"}, {"b", "b@x", "B"}};
    QCOMPARE(gmail::accountIndex(accounts, "b"), 1);
    QCOMPARE(gmail::accountIndex(accounts, "zz"), 0);
    QCOMPARE(gmail::threadWebLink(1, "18c2f", Provider::production()),
             QUrl("https://mail.google.com/mail/u/1/#inbox/18c2f"));
}

QTEST_GUILESS_MAIN(ReplyDraftTest)
#include "tst_replydraft.moc"
