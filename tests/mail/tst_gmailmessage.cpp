// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/GmailMessage.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>
#include <QUuid>

namespace {

QJsonObject header(const QString &name, const QString &value)
{
    return QJsonObject{{"name", name}, {"value", value}};
}

QJsonObject messageWithHeaders(const QJsonArray &headers)
{
    return QJsonObject{{"id", "m1"}, {"threadId", "t1"}, {"payload", QJsonObject{{"headers", headers}}}};
}

QString base64Url(const QByteArray &bytes)
{
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QJsonObject part(const QString &mimeType, const QString &data, const QJsonArray &children = {})
{
    QJsonObject object{{"mimeType", mimeType}};
    if (!data.isNull())
        object.insert("body", QJsonObject{{"data", data}});
    if (!children.isEmpty())
        object.insert("parts", children);
    return object;
}

QJsonObject byAttachment(const QString &mimeType, const QString &attachmentId)
{
    return QJsonObject{{"mimeType", mimeType},
                       {"body", QJsonObject{{"attachmentId", attachmentId}, {"size", 9}}}};
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

} // namespace

class GmailMessageTest : public QObject
{
    Q_OBJECT

private slots:
    void headerLookupIgnoresCase();
    void parsesDates_data();
    void parsesDates();
    void decodesCharacterReferences_data();
    void decodesCharacterReferences();
    void mapsMessage();
    void mapsMessageWithMissingPieces();
    void extractsText();
    void rejectsUndecodableData();
    void findsTextPartsThatCameAsAttachments();
};

void GmailMessageTest::headerLookupIgnoresCase()
{
    const QJsonObject message = messageWithHeaders({header("FROM", "Ann <ann@example.com>"),
                                                    header("from", "second"),
                                                    QJsonObject{{"name", "Subject"}}});
    QCOMPARE(gmail::headerValue(message, "From"), QStringLiteral("Ann <ann@example.com>"));
    QCOMPARE(gmail::headerValue(message, "Subject"), QString()); // no value
    QCOMPARE(gmail::headerValue(message, "Date"), QString());
    QCOMPARE(gmail::headerValue(QJsonObject{{"payload", 3}}, "From"), QString());
}

void GmailMessageTest::parsesDates_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime june3 = utc(2025, 6, 3, 8, 15, 0);
    QTest::newRow("plain") << "Tue, 3 Jun 2025 10:15:00 +0200" << june3;
    QTest::newRow("comment") << "Tue, 3 Jun 2025 10:15:00 +0200 (CEST)" << june3;
    QTest::newRow("comment, spaces") << "Tue, 3 Jun 2025 10:15:00 +0200   (CEST)  " << june3;
    QTest::newRow("two-digit day, negative offset")
        << "Fri, 14 Nov 2025 23:05:09 -0800" << utc(2025, 11, 15, 7, 5, 9);
    QTest::newRow("no weekday") << "3 Jun 2025 10:15:00 +0200" << QDateTime();
    QTest::newRow("empty") << "" << QDateTime();
    QTest::newRow("garbage") << "yesterday (CEST)" << QDateTime();
    QTest::newRow("trailing words") << "Tue, 3 Jun 2025 10:15:00 +0200 extra" << QDateTime();
    QTest::newRow("unclosed comment") << "Tue, 3 Jun 2025 10:15:00 +0200 (CEST" << QDateTime();

    // Obsolete forms: years of two or three digits, named and military zones.
    QTest::newRow("year 25") << "Tue, 3 Jun 25 10:15:00 +0200" << june3;
    QTest::newRow("year 49") << "Thu, 3 Jun 49 10:15:00 +0200" << utc(2049, 6, 3, 8, 15, 0);
    QTest::newRow("year 99") << "Thu, 3 Jun 99 10:15:00 +0200" << utc(1999, 6, 3, 8, 15, 0);
    QTest::newRow("year 125") << "Tue, 3 Jun 125 10:15:00 +0200" << june3;
    const QList<QPair<QString, int>> zones{{"UT", 0},   {"GMT", 0},  {"EST", -5}, {"EDT", -4}, {"CST", -6},
                                           {"CDT", -5}, {"MST", -7}, {"MDT", -6}, {"PST", -8}, {"pdt", -7}};
    for (const auto &[zone, hours] : zones) {
        const QString local = june3.addSecs(hours * 3600).toString("HH:mm:ss");
        QTest::addRow("zone %s", qPrintable(zone)) << "Tue, 3 Jun 2025 " + local + " " + zone << june3;
    }
    QTest::newRow("zone with comment") << "Tue, 3 Jun 2025 01:15:00 PDT (Pacific Daylight Time)" << june3;
    QTest::newRow("military Z") << "Tue, 3 Jun 2025 08:15:00 Z" << june3;
    QTest::newRow("military A") << "Tue, 3 Jun 2025 08:15:00 A" << june3;
    QTest::newRow("military J") << "Tue, 3 Jun 2025 08:15:00 J" << QDateTime();
    QTest::newRow("unknown zone") << "Tue, 3 Jun 2025 08:15:00 XYZ" << QDateTime();
    QTest::newRow("old form, no weekday") << "3 Jun 25 10:15:00 GMT" << QDateTime();
}

void GmailMessageTest::parsesDates()
{
    QFETCH(QString, value);
    QFETCH(QDateTime, expected);
    const Timestamp parsed = gmail::parseDate(value);
    QCOMPARE(parsed.has_value(), expected.isValid());
    if (parsed)
        QCOMPARE(*parsed, expected);
}

void GmailMessageTest::decodesCharacterReferences_data()
{
    QTest::addColumn<QString>("escaped");
    QTest::addColumn<QString>("plain");
    QTest::newRow("named") << "&lt;b&gt; &quot;A&quot; &amp; B&apos;s"
                           << "<b> \"A\" & B's";
    QTest::newRow("decimal and hex") << "it&#39;s &#x263A; &#X1F600;"
                                     << QString::fromUtf8("it's \u263A \U0001F600");
    // Decoded once only: an escaped reference stays a reference.
    QTest::newRow("once") << "&amp;lt;img&amp;gt;"
                          << "&lt;img&gt;";
    QTest::newRow("markup stays text") << "&lt;img src=&quot;http://x/p.png&quot;&gt;"
                                       << "<img src=\"http://x/p.png\">";
    QTest::newRow("not characters") << "&#0; &#xD800; &#x110000; &#99999999;"
                                    << "&#0; &#xD800; &#x110000; &#99999999;";
    QTest::newRow("unknown or unterminated") << "&nbsp; &amp &copy; a & b &#;"
                                             << "&nbsp; &amp &copy; a & b &#;";
}

void GmailMessageTest::decodesCharacterReferences()
{
    QFETCH(QString, escaped);
    QFETCH(QString, plain);
    QCOMPARE(gmail::decodeCharacterReferences(escaped), plain);
}

void GmailMessageTest::mapsMessage()
{
    QJsonObject message = messageWithHeaders({header("From", "\"Ann\" <ann@example.com>"),
                                              header("subject", "Lunch"),
                                              header("DATE", "Tue, 3 Jun 2025 10:15:00 +0200")});
    message.insert("labelIds", QJsonArray{"INBOX", "UNREAD"});
    message.insert("snippet", "See you &amp; then");
    const EmailMessage mapped = gmail::emailMessageFromJson(message);
    QCOMPARE(mapped.id, QStringLiteral("m1"));
    QCOMPARE(mapped.threadId, QStringLiteral("t1"));
    QCOMPARE(mapped.from, QStringLiteral("\"Ann\" <ann@example.com>"));
    QCOMPARE(mapped.subject, QStringLiteral("Lunch"));
    QCOMPARE(mapped.snippet, QStringLiteral("See you & then"));
    QCOMPARE(mapped.date, Timestamp(utc(2025, 6, 3, 8, 15, 0)));
    QVERIFY(mapped.isUnread);
}

void GmailMessageTest::mapsMessageWithMissingPieces()
{
    const QJsonObject message{{"labelIds", QJsonArray{"INBOX"}}, {"id", 42}};
    const EmailMessage first = gmail::emailMessageFromJson(message);
    const EmailMessage second = gmail::emailMessageFromJson(message);
    // A missing (or non-text) id becomes a fresh upper-case UUID each time.
    QVERIFY(!QUuid::fromString(first.id).isNull());
    QCOMPARE(first.id, first.id.toUpper());
    QVERIFY(first.id != second.id);
    QCOMPARE(first.threadId, QString());
    QCOMPARE(first.from, QString());
    QCOMPARE(first.date, Timestamp());
    QVERIFY(!first.isUnread);
}

void GmailMessageTest::extractsText()
{
    const QString plain = base64Url("Plain text \xc3\xa9\r\nsecond line");
    const QString html = base64Url("<p>Hello <b>you</b></p>&amp;");
    const QJsonObject alternative = part("multipart/alternative", {},
                                         {part("text/plain", plain), part("text/html", html)});
    QCOMPARE(gmail::extractText(alternative),
             std::optional<QString>(QString::fromUtf8("Plain text \xc3\xa9\r\nsecond line")));

    // Depth first: the text inside a nested alternative beats a later part.
    const QJsonObject mixed = part(
        "multipart/mixed", {},
        {part("multipart/alternative", {}, {part("text/plain", "%%%"), part("text/plain", plain)}),
         part("text/plain", base64Url("attachment"))});
    QCOMPARE(gmail::extractText(mixed)->left(10), QStringLiteral("Plain text"));

    // HTML only: every tag becomes one space, entities stay.
    QCOMPARE(gmail::extractText(part("text/html", html)),
             std::optional<QString>(QStringLiteral(" Hello  you  &amp;")));
    QCOMPARE(gmail::extractText(part("multipart/alternative", {}, {part("text/html", html)})),
             std::optional<QString>(QStringLiteral(" Hello  you  &amp;")));

    // Type names are exact.
    QCOMPARE(gmail::extractText(part("TEXT/PLAIN", plain)), std::nullopt);

    // Undecodable text parts fall through to the snippet.
    const QJsonObject broken{{"snippet", "the snippet"},
                             {"payload", part("multipart/alternative", {},
                                              {part("text/plain", "!!not base64!!"),
                                               part("text/html", base64Url("\xff\xfe<b>x</b>"))})}};
    QCOMPARE(gmail::bodyTextOf(broken), QStringLiteral("the snippet"));
    QCOMPARE(gmail::bodyTextOf(QJsonObject{}), QString());
}

void GmailMessageTest::rejectsUndecodableData()
{
    QCOMPARE(gmail::decodeBodyData(base64Url("ab?>")), std::optional<QString>("ab?>"));
    QCOMPARE(gmail::decodeBodyData(""), std::optional<QString>(""));
    QCOMPARE(gmail::decodeBodyData("QUJD+/=="), std::nullopt); // wrong alphabet after mapping
    QCOMPARE(gmail::decodeBodyData("QUJDR"), std::nullopt);    // impossible length
    QCOMPARE(gmail::decodeBodyData("QU JD"), std::nullopt);
    QCOMPARE(gmail::decodeBodyData(QStringLiteral("QUJ\u00e9")), std::nullopt);
    QCOMPARE(gmail::decodeBodyData(base64Url("\xc3\x28")), std::nullopt); // invalid UTF-8

    // A deeply nested tree ends without text rather than exhausting the stack.
    QJsonObject deep = part("text/html", base64Url("<i>x</i>"));
    for (int i = 0; i < 200; ++i)
        deep = part("multipart/mixed", {}, {deep});
    QVERIFY(!gmail::extractText(deep).has_value());
}

void GmailMessageTest::findsTextPartsThatCameAsAttachments()
{
    const QString hello = base64Url("hello");
    // The plain part is wanted before the inline HTML one.
    QJsonObject payload = part("multipart/alternative", QString(),
                               {byAttachment("text/plain", "A1"), part("text/html", base64Url("<b>hi</b>"))});
    QCOMPARE(gmail::pendingTextAttachment(payload), std::optional<QString>("A1"));
    const QJsonObject filled = gmail::withBodyData(payload, "A1", hello);
    QVERIFY(!gmail::pendingTextAttachment(filled));
    QCOMPARE(gmail::extractText(filled), std::optional<QString>("hello"));
    // Fetched data that does not decode moves on to the next candidate.
    const QJsonObject broken = gmail::withBodyData(
        part("multipart/alternative", QString(),
             {byAttachment("text/plain", "A1"), byAttachment("text/html", "A2")}),
        "A1", "***");
    QCOMPARE(gmail::pendingTextAttachment(broken), std::optional<QString>("A2"));
    // Readable inline plain text needs no fetch; attachments of other types never count.
    QVERIFY(!gmail::pendingTextAttachment(part(
        "multipart/mixed", QString(), {part("text/plain", hello), byAttachment("application/pdf", "P1")})));
}

QTEST_GUILESS_MAIN(GmailMessageTest)
#include "tst_gmailmessage.moc"
