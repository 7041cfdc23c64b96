// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Inputs that fuzzing found troublesome, kept as tests: a request body
// trickled behind the largest head the loopback listener takes, and date-times
// whose text must survive a print-and-parse round trip.

#include "RecordingFlow.h"
#include "oauth/HTTPServerRequest.h"
#include "oauth/RedirectHTTPHandler.h"
#include "rest/DateTime.h"

#include <QTcpSocket>
#include <QTest>

using namespace oauth;
using rest::DateTime;

namespace {

// A head just under the cap: about 1,200 header lines.
QByteArray maximalHead(const QByteArray &requestLine, qint64 contentLength)
{
    QByteArray head = requestLine + "\r\nContent-Length: " + QByteArray::number(contentLength) + "\r\n";
    const QByteArray line = "X-Filler: " + QByteArray(40, 'f') + "\r\n";
    while (head.size() + line.size() + 2 <= http::MaxHeaderBytes)
        head += line;
    return head + "\r\n";
}

int statusOf(const QByteArray &answer)
{
    return answer.split(' ').value(1).toInt();
}

} // namespace

class ParserInputsTest : public QObject
{
    Q_OBJECT

private slots:
    void trickledBodyBehindMaximalHeadIsReadOnce();
    void trickledBodyDoesNotHoldUpTheSignIn();
    void acceptedDateTimesPrintAsTextThatParsesBack_data();
    void acceptedDateTimesPrintAsTextThatParsesBack();
};

// The whole body allowed, 16 bytes at a time: 65,536 reads. Reading the head
// again on each one would take many minutes.
void ParserInputsTest::trickledBodyBehindMaximalHeadIsReadOnce()
{
    const QByteArray head = maximalHead("POST /upload HTTP/1.1", http::MaxBodyBytes);
    QVERIFY(head.size() <= http::MaxHeaderBytes);
    http::RequestReader reader;
    reader.append(head);
    QCOMPARE(int(reader.take().kind), int(http::ParseResult::Incomplete));
    const QByteArray piece(16, 'b');
    http::ParseResult done;
    for (qsizetype sent = 0; sent < http::MaxBodyBytes; sent += piece.size()) {
        reader.append(piece);
        if (sent + piece.size() == http::MaxBodyBytes)
            reader.append("GET / HTTP/1.1\r\n");
        done = reader.take();
        if (sent + piece.size() < http::MaxBodyBytes)
            QCOMPARE(int(done.kind), int(http::ParseResult::Incomplete));
    }
    QCOMPARE(int(done.kind), int(http::ParseResult::Complete));
    QCOMPARE(done.request.body().size(), http::MaxBodyBytes);
    QCOMPARE(done.request.target(), QByteArray("/upload"));
    QVERIFY(done.request.headers().size() > 1000);
    QCOMPARE(reader.buffered(), QByteArray("GET / HTTP/1.1\r\n"));
}

// A local process trickles a body to the listener while the browser brings
// the real redirect on another connection: the redirect is answered, and the
// trickled request still gets its answer once complete.
void ParserInputsTest::trickledBodyDoesNotHoldUpTheSignIn()
{
    RedirectHTTPHandler handler;
    QVERIFY(handler.startHTTPListener());
    auto flow = std::make_shared<tltest::RecordingFlow>();
    handler.setCurrentAuthorizationFlow(flow);
    const quint16 port = handler.port();
    constexpr int BodyBytes = 64 * 1024, Piece = 32;

    QTcpSocket trickler;
    trickler.connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(trickler.waitForConnected(5000));
    trickler.write(maximalHead("POST /stray HTTP/1.1", BodyBytes));
    for (int sent = 0; sent < BodyBytes / 2; sent += Piece) {
        trickler.write(QByteArray(Piece, 'b'));
        trickler.flush();
        QCoreApplication::processEvents(); // the listener reads each piece on its own
    }

    QTcpSocket browser;
    browser.connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(browser.waitForConnected(5000));
    browser.write("GET /?code=c&state=s HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
                  + "\r\n\r\n");
    QByteArray answer;
    QTRY_VERIFY((answer += browser.readAll()).contains("Return to the app."));
    QCOMPARE(statusOf(answer), 200);
    QCOMPARE(flow->offered.size(), 1);

    for (int sent = BodyBytes / 2; sent < BodyBytes; sent += Piece) {
        trickler.write(QByteArray(Piece, 'b'));
        trickler.flush();
        QCoreApplication::processEvents();
    }
    QByteArray strayAnswer;
    QTRY_VERIFY((strayAnswer += trickler.readAll()).contains("</html>"));
    QCOMPARE(statusOf(strayAnswer), 400); // the flow is done: nothing waits any more
    QCOMPARE(flow->offered.size(), 1);
}

void ParserInputsTest::acceptedDateTimesPrintAsTextThatParsesBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    // Leap seconds and rounded-up fractions carry into the next minute.
    QTest::newRow("leap second at the last instant") << "9999-12-31T23:59:60Z" << false;
    QTest::newRow("leap second, west of UTC") << "9999-12-31T23:59:60-05:00" << false;
    QTest::newRow("fraction rounding up at the end") << "9999-12-31T23:59:59.9995Z" << false;
    QTest::newRow("last printable instant") << "9999-12-31T23:59:59.999Z" << true;
    QTest::newRow("last instant, far east") << "9999-12-31T23:59:59+23:59" << true;
    QTest::newRow("last instant, far west") << "9999-12-31T23:59:59-23:59" << true;
    QTest::newRow("first instant, east") << "0001-01-01T00:00:00+23:59" << true;
    QTest::newRow("real leap second") << "2016-12-31T23:59:60Z" << true;
    QTest::newRow("leap second with fraction") << "2016-12-31T23:59:60.9996+01:00" << true;
    QTest::newRow("negative zero offset") << "2024-03-10T09:15:00-00:00" << true;
    QTest::newRow("one-digit year") << "1-01-01T00:00:00z" << true;
    QTest::newRow("date only, last day") << "9999-12-31" << true;
}

void ParserInputsTest::acceptedDateTimesPrintAsTextThatParsesBack()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    const DateTime parsed = DateTime::fromRFC3339String(text);
    QCOMPARE(parsed.isValid(), accepted);
    if (!accepted)
        return;
    const QString printed = parsed.RFC3339String();
    const DateTime again = DateTime::fromRFC3339String(printed);
    QVERIFY2(again.isValid(), qPrintable(printed));
    QCOMPARE(again.date(), parsed.date());
    QCOMPARE(again.RFC3339String(), printed);
}

QTEST_GUILESS_MAIN(ParserInputsTest)
#include "tst_parserinputs.moc"
