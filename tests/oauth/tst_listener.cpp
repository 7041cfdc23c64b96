// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RecordingFlow.h"
#include "Wait.h"
#include "oauth/HTTPServer.h"
#include "oauth/OAuthError.h"
#include "oauth/RedirectHTTPHandler.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace oauth;
using tltest::RecordingFlow;

namespace {

struct Reply
{
    int status = 0;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

// A raw HTTP client on the same event loop as the listener.
class Client
{
public:
    bool connectTo(const QString &host, quint16 port)
    {
        m_socket.connectToHost(host, port);
        return QTest::qWaitFor(
                   [&] {
                       return m_socket.state() == QAbstractSocket::ConnectedState
                              || m_socket.state() == QAbstractSocket::UnconnectedState;
                   },
                   5000)
               && m_socket.state() == QAbstractSocket::ConnectedState;
    }
    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }
    // Waits for one whole response (framed by Content-Length).
    std::optional<Reply> read(int timeoutMs = 5000)
    {
        std::optional<Reply> reply;
        TL_WAITED(
            [&] {
                m_buffer += m_socket.readAll();
                reply = takeReply();
                return reply.has_value() || m_socket.state() == QAbstractSocket::UnconnectedState;
            },
            timeoutMs, "a whole response or the connection's end");
        if (!reply) {
            m_buffer += m_socket.readAll();
            reply = takeReply();
        }
        return reply;
    }
    bool waitClosed(int timeoutMs = 5000)
    {
        return QTest::qWaitFor(
            [&] {
                m_buffer += m_socket.readAll();
                return m_socket.state() == QAbstractSocket::UnconnectedState;
            },
            timeoutMs);
    }
    QByteArray pending() const { return m_buffer; }

private:
    std::optional<Reply> takeReply()
    {
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return std::nullopt;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        Reply reply;
        reply.status = lines.value(0).split(' ').value(1).toInt();
        qsizetype length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            reply.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
            if (line.left(colon).compare("Content-Length", Qt::CaseInsensitive) == 0)
                length = line.mid(colon + 1).trimmed().toLongLong();
        }
        if (m_buffer.size() < end + 4 + length)
            return std::nullopt;
        reply.body = m_buffer.mid(end + 4, length);
        m_buffer.remove(0, end + 4 + length);
        return reply;
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
};

QByteArray get(const QByteArray &target, quint16 port)
{
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
           + "\r\nUser-Agent: test\r\n\r\n";
}

bool connectionRefused(quint16 port)
{
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), port);
    return TL_WAITED(
               [&] {
                   return probe.state() == QAbstractSocket::ConnectedState
                          || probe.state() == QAbstractSocket::UnconnectedState;
               },
               5000, "the probe to connect or be refused")
           && probe.state() == QAbstractSocket::UnconnectedState
           && probe.error() == QAbstractSocket::ConnectionRefusedError;
}

// A handler listening for a recording flow, and a browser connected to it.
struct Listening
{
    RedirectHTTPHandler handler;
    std::shared_ptr<RecordingFlow> flow = std::make_shared<RecordingFlow>();
    quint16 port = 0;
    Client browser;

    // Listens; the browser is not connected yet.
    void listen()
    {
        handler.startHTTPListener();
        handler.setCurrentAuthorizationFlow(flow);
        port = handler.port();
    }

    bool start()
    {
        listen();
        return browser.connectTo(QStringLiteral("127.0.0.1"), port);
    }
};

} // namespace

class ListenerTest : public QObject
{
    Q_OBJECT

private slots:
    void requestParsing_data();
    void requestParsing();
    void listensOnBothLoopbackAddressesWithOnePort();
    void strayRequestThen404ThenRedirectCompletes();
    void completedRedirectStopsListening();
    void successURLRedirectsTheBrowser();
    void redirectAfterCancellationGets400();
    void destroyingHandlerFailsFlowButDeliversGivenAnswer();
    void splitRequestHandledOnceComplete();
    void pipelinedRequestsAnsweredInOrder();
    void oversizedRequestsRefusedWithoutDisturbingFlow();
    void malformedRequestGets400AndClose();
    void withoutDelegateDefaultAnswers();
    void idleConnectionsCannotKeepTheRedirectOut();
    void idleConnectionIsClosed();
};

void ListenerTest::requestParsing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("rest");
    using R = http::ParseResult;
    QTest::newRow("header incomplete") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n") << int(R::Incomplete)
                                       << 0 << QByteArray() << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n");
    QTest::newRow("body incomplete") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\nab")
                                     << int(R::Incomplete) << 0 << QByteArray()
                                     << QByteArray("POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\nab");
    QTest::newRow("body exact, rest kept") << QByteArray("POST / HTTP/1.1\r\ncontent-length: 3\r\n\r\nabcGET")
                                           << int(R::Complete) << 0 << QByteArray("abc") << QByteArray("GET");
    QTest::newRow("no length means no body") << QByteArray("GET / HTTP/1.1\r\n\r\nxyz") << int(R::Complete)
                                             << 0 << QByteArray() << QByteArray("xyz");
    QTest::newRow("leading blank line")
        << QByteArray("\r\nGET / HTTP/1.1\r\n\r\n") << int(R::Complete) << 0 << QByteArray() << QByteArray();
    QTest::newRow("bad request line")
        << QByteArray("GET /\r\n\r\n") << int(R::Invalid) << 400 << QByteArray() << QByteArray();
    QTest::newRow("bad version") << QByteArray("GET / HTTX/1.1\r\n\r\n") << int(R::Invalid) << 400
                                 << QByteArray() << QByteArray();
    QTest::newRow("header without colon") << QByteArray("GET / HTTP/1.1\r\nHost\r\n\r\n") << int(R::Invalid)
                                          << 400 << QByteArray() << QByteArray();
    QTest::newRow("bare LF line") << QByteArray("GET / HTTP/1.1\nHost: x\r\n\r\n") << int(R::Invalid) << 400
                                  << QByteArray() << QByteArray();
    QTest::newRow("negative length") << QByteArray("POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n")
                                     << int(R::Invalid) << 400 << QByteArray() << QByteArray();
    QTest::newRow("conflicting lengths")
        << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab")
        << int(R::Invalid) << 400 << QByteArray() << QByteArray();
    QTest::newRow("chunked body") << QByteArray(
        "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n")
                                  << int(R::Invalid) << 400 << QByteArray() << QByteArray();
    QTest::newRow("huge length") << QByteArray(
        "POST / HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n")
                                 << int(R::Invalid) << 400 << QByteArray() << QByteArray();
    QTest::newRow("body over 1 MiB") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1048577\r\n\r\n")
                                     << int(R::Invalid) << 413 << QByteArray() << QByteArray();
    QTest::newRow("header over 64 KiB, unfinished")
        << QByteArray("GET / HTTP/1.1\r\nX: " + QByteArray(70000, 'a')) << int(R::Invalid) << 400
        << QByteArray() << QByteArray();
}

void ListenerTest::requestParsing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, rest);
    QByteArray buffer = bytes;
    const http::ParseResult result = http::takeRequest(buffer);
    QCOMPARE(int(result.kind), kind);
    if (kind == http::ParseResult::Invalid)
        QCOMPARE(result.rejectStatus, status);
    if (kind == http::ParseResult::Complete) {
        QCOMPARE(result.request.body(), body);
        QCOMPARE(buffer, rest);
    }
    if (kind == http::ParseResult::Incomplete)
        QCOMPARE(buffer, rest);
}

void ListenerTest::listensOnBothLoopbackAddressesWithOnePort()
{
    RedirectHTTPHandler handler;
    const std::optional<QUrl> url = handler.startHTTPListener();
    QVERIFY(url);
    QVERIFY(handler.port() != 0);
    QCOMPARE(url->toString(), QStringLiteral("http://127.0.0.1:%1/").arg(handler.port()));
    auto flow = std::make_shared<RecordingFlow>();
    handler.setCurrentAuthorizationFlow(flow);

    Client v4;
    QVERIFY(v4.connectTo(QStringLiteral("127.0.0.1"), handler.port()));
    v4.send(get("/favicon.ico", handler.port()));
    QCOMPARE(v4.read()->status, 404);

    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHostIPv6, 0))
        QSKIP("This machine has no IPv6 loopback.");
    Client v6;
    QVERIFY(v6.connectTo(QStringLiteral("::1"), handler.port()));
    v6.send(get("/favicon.ico", handler.port()));
    QCOMPARE(v6.read()->status, 404);
}

void ListenerTest::strayRequestThen404ThenRedirectCompletes()
{
    RedirectHTTPHandler handler;
    const QUrl base = *handler.startHTTPListener();
    auto flow = std::make_shared<RecordingFlow>();
    handler.setCurrentAuthorizationFlow(flow);
    const quint16 port = handler.port();

    Client browser;
    QVERIFY(browser.connectTo(QStringLiteral("127.0.0.1"), port));
    browser.send(get("/favicon.ico", port));
    const Reply icon = *browser.read();
    QCOMPARE(icon.status, 404);
    QCOMPARE(icon.body, RedirectHTTPHandler::InvalidRedirectPage);
    QVERIFY(handler.isListening());
    QVERIFY(handler.currentAuthorizationFlow());

    // The code travels percent-encoded; the flow must see it exactly as sent.
    const QByteArray query = "state=s%2Bt&code=4%2F0Ab-c_d&iss=https%3A%2F%2Faccounts.example";
    browser.send(get("/?" + query, port));
    const Reply done = *browser.read();
    QCOMPARE(done.status, 200);
    QCOMPARE(done.body, RedirectHTTPHandler::CompletionPage);
    QCOMPARE(done.headers.size(), 1);
    QCOMPARE(done.headers[0].first, QByteArray("Content-Length"));
    QCOMPARE(done.headers[0].second, QByteArray::number(RedirectHTTPHandler::CompletionPage.size()));
    QCOMPARE(flow->offered.size(), 2);
    QCOMPARE(flow->offered.last().toEncoded(), base.toEncoded() + "?" + query);
    QVERIFY(!handler.currentAuthorizationFlow());
}

void ListenerTest::completedRedirectStopsListening()
{
    Listening listening;
    QVERIFY(listening.start());
    auto &[handler, flow, port, browser] = listening;
    browser.send(get("/?code=x&state=y", port));
    QCOMPARE(browser.read()->status, 200);
    QVERIFY(!handler.isListening());
    QVERIFY(connectionRefused(port));
    // A second redirect on the open connection finds no flow.
    browser.send(get("/?code=x&state=y", port));
    const Reply late = *browser.read();
    QCOMPARE(late.status, 400);
    QCOMPARE(late.body, RedirectHTTPHandler::NoFlowPage);
    QCOMPARE(flow->offered.size(), 1);
}

void ListenerTest::successURLRedirectsTheBrowser()
{
    RedirectHTTPHandler handler(QUrl(QStringLiteral("https://example.com/signed-in")));
    handler.startHTTPListener();
    handler.setCurrentAuthorizationFlow(std::make_shared<RecordingFlow>());
    Client browser;
    QVERIFY(browser.connectTo(QStringLiteral("127.0.0.1"), handler.port()));
    browser.send(get("/?code=x", handler.port()));
    const Reply reply = *browser.read();
    QCOMPARE(reply.status, 302);
    QCOMPARE(reply.headers[0],
             std::make_pair(QByteArray("Location"), QByteArray("https://example.com/signed-in")));
    QCOMPARE(reply.body, RedirectHTTPHandler::CompletionPage);
}

void ListenerTest::redirectAfterCancellationGets400()
{
    Listening listening;
    QVERIFY(listening.start());
    auto &[handler, flow, port, browser] = listening;

    handler.cancelHTTPListener();
    QCOMPARE(flow->failures.size(), 1);
    QCOMPARE(flow->failures[0].domain(), GeneralErrorDomain);
    QCOMPARE(flow->failures[0].code(), -4);
    QCOMPARE(flow->failures[0].description(),
             QStringLiteral("The HTTP listener was cancelled programmatically."));
    QVERIFY(connectionRefused(port));

    browser.send(get("/?code=x&state=y", port));
    const Reply reply = *browser.read();
    QCOMPARE(reply.status, 400);
    QCOMPARE(reply.body, RedirectHTTPHandler::NoFlowPage);
    QVERIFY(flow->offered.isEmpty());
    handler.cancelHTTPListener();
    QCOMPARE(flow->failures.size(), 1); // failed once only
}

void ListenerTest::destroyingHandlerFailsFlowButDeliversGivenAnswer()
{
    auto pending = std::make_shared<RecordingFlow>();
    {
        RedirectHTTPHandler handler;
        handler.startHTTPListener();
        handler.setCurrentAuthorizationFlow(pending);
    }
    QCOMPARE(pending->failures.size(), 1);
    QCOMPARE(pending->failures[0].code(), -4);

    // The sign-in may end (and drop its handler) before the browser has read
    // the completion page; the page must still arrive.
    auto handler = std::make_unique<RedirectHTTPHandler>();
    handler->startHTTPListener();
    handler->setCurrentAuthorizationFlow(std::make_shared<RecordingFlow>());
    const quint16 port = handler->port();
    Client browser;
    QVERIFY(browser.connectTo(QStringLiteral("127.0.0.1"), port));
    browser.send(get("/?code=x", port));
    QVERIFY(QTest::qWaitFor([&] { return !handler->isListening(); }, 5000));
    handler.reset();
    const std::optional<Reply> reply = browser.read();
    QVERIFY(reply);
    QCOMPARE(reply->status, 200);
    QVERIFY(browser.waitClosed());
}

void ListenerTest::splitRequestHandledOnceComplete()
{
    Listening listening;
    QVERIFY(listening.start());
    auto &[handler, flow, port, browser] = listening;

    // A POST whose header comes in pieces and whose body comes later.
    const QByteArray head = "POST /other HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
                            + "\r\nContent-Length: 10\r\n\r\n";
    for (qsizetype i = 0; i < head.size(); i += 7) {
        browser.send(head.mid(i, 7));
        QTest::qWait(5); // the header arrives in pieces, apart in time
    }
    browser.send("01234");
    QTest::qWait(50); // a partial body answers nothing meanwhile
    QVERIFY(flow->offered.isEmpty());
    QVERIFY(browser.pending().isEmpty());
    browser.send("56789");
    QCOMPARE(browser.read()->status, 404);
    QCOMPARE(flow->offered.size(), 1);

    const QByteArray redirect = get("/?code=abc&state=def", port);
    browser.send(redirect.left(20));
    QTest::qWait(50); // half a redirect offers nothing meanwhile
    QCOMPARE(flow->offered.size(), 1);
    browser.send(redirect.mid(20));
    QCOMPARE(browser.read()->status, 200);
    QCOMPARE(flow->offered.last().query(QUrl::FullyEncoded), QStringLiteral("code=abc&state=def"));
}

void ListenerTest::pipelinedRequestsAnsweredInOrder()
{
    Listening listening;
    QVERIFY(listening.start());
    auto &[handler, flow, port, browser] = listening;
    browser.send(get("/a", port) + get("/?code=1", port) + get("/b", port));
    QCOMPARE(browser.read()->status, 404);
    QCOMPARE(browser.read()->status, 200);
    QCOMPARE(browser.read()->status, 400); // the flow is already done
}

void ListenerTest::oversizedRequestsRefusedWithoutDisturbingFlow()
{
    Listening listening;
    listening.listen();
    auto &[handler, flow, port, browser] = listening;

    Client bigHeader;
    QVERIFY(bigHeader.connectTo(QStringLiteral("127.0.0.1"), port));
    bigHeader.send("GET /?code=x HTTP/1.1\r\nX-Filler: " + QByteArray(70 * 1024, 'a') + "\r\n\r\n");
    const std::optional<Reply> headerReply = bigHeader.read();
    QVERIFY(headerReply);
    QCOMPARE(headerReply->status, 400);
    QVERIFY(bigHeader.waitClosed());

    Client bigBody;
    QVERIFY(bigBody.connectTo(QStringLiteral("127.0.0.1"), port));
    bigBody.send("POST /?code=x HTTP/1.1\r\nContent-Length: 2000000\r\n\r\n" + QByteArray(4096, 'b'));
    const std::optional<Reply> bodyReply = bigBody.read();
    QVERIFY(bodyReply);
    QCOMPARE(bodyReply->status, 413);
    QVERIFY(bigBody.waitClosed());

    QVERIFY(flow->offered.isEmpty());
    QVERIFY(handler.isListening());
    QVERIFY(browser.connectTo(QStringLiteral("127.0.0.1"), port));
    browser.send(get("/?code=real", port));
    QCOMPARE(browser.read()->status, 200);
    QCOMPARE(flow->offered.size(), 1);
}

void ListenerTest::malformedRequestGets400AndClose()
{
    Listening listening;
    QVERIFY(listening.start());
    auto &[handler, flow, port, client] = listening;
    client.send(QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15));
    QCOMPARE(client.read()->status, 400);
    QVERIFY(client.waitClosed());
    QVERIFY(flow->offered.isEmpty());
    QVERIFY(handler.currentAuthorizationFlow());
}

void ListenerTest::withoutDelegateDefaultAnswers()
{
    HTTPServer server;
    QVERIFY(server.start());
    Client client;
    QVERIFY(client.connectTo(QStringLiteral("127.0.0.1"), server.port()));
    client.send("GET / HTTP/1.1\r\n\r\n");
    QCOMPARE(client.read()->status, 500);
    client.send("GET / HTTP/1.0\r\n\r\n");
    QCOMPARE(client.read()->status, 505);
    QVERIFY(client.waitClosed()); // HTTP/1.0 without keep-alive ends the connection
}

void ListenerTest::idleConnectionsCannotKeepTheRedirectOut()
{
    Listening listening;
    listening.listen();
    auto &[handler, flow, port, browser] = listening;

    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QStringLiteral("127.0.0.1"), port);
    }
    auto openCount = [&] {
        return std::count_if(idle.begin(), idle.end(), [](const auto &socket) {
            return socket->state() != QAbstractSocket::UnconnectedState;
        });
    };
    // Never more than 16 open: the other 84 are closed at once, not after the idle time.
    QTRY_COMPARE_WITH_TIMEOUT(openCount(), 16, 5000);
    QTest::qWait(100); // and no more open meanwhile
    QCOMPARE(openCount(), 16);

    QVERIFY(browser.connectTo(QStringLiteral("127.0.0.1"), port));
    browser.send(get("/favicon.ico", port));
    QCOMPARE(browser.read(2000)->status, 404);
    browser.send(get("/?code=real&state=s", port));
    const std::optional<Reply> done = browser.read(2000);
    QVERIFY(done);
    QCOMPARE(done->status, 200);
    QCOMPARE(flow->offered.size(), 2);
    QVERIFY(!handler.isListening());
    QVERIFY(openCount() <= 15);
}

void ListenerTest::idleConnectionIsClosed()
{
    HTTPServer server;
    server.idleTimeoutMs = 300;
    QVERIFY(server.start());
    Client silent;
    QVERIFY(silent.connectTo(QStringLiteral("127.0.0.1"), server.port()));
    Client halfway;
    QVERIFY(halfway.connectTo(QStringLiteral("127.0.0.1"), server.port()));
    halfway.send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    Client talking;
    QVERIFY(talking.connectTo(QStringLiteral("127.0.0.1"), server.port()));
    // Each answered request counts as activity and keeps its connection.
    for (int i = 0; i < 4; ++i) {
        QTest::qWait(150); // the requests come apart, within the idle time
        talking.send("GET / HTTP/1.1\r\n\r\n");
        QCOMPARE(talking.read()->status, 500);
    }
    QVERIFY(silent.waitClosed(3000));
    QVERIFY(halfway.waitClosed(3000));
    QCOMPARE(server.connectionCount(), 1);
    QVERIFY(talking.waitClosed(3000));
    QCOMPARE(server.connectionCount(), 0);
}

QTEST_GUILESS_MAIN(ListenerTest)
#include "tst_listener.moc"
