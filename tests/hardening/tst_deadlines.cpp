// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// No network wait is unbounded: a server that trickles its answer a byte at
// a time, never falling silent, still meets the request's deadline.

#include "rest/HttpsTransport.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {

// Answers every request with a long body sent one byte every 100 ms.
class TricklingServer : public QTcpServer
{
public:
    TricklingServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    if (!socket->readAll().contains("\r\n\r\n") || socket->property("answering").toBool())
                        return;
                    socket->setProperty("answering", true);
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                                  "Content-Length: 100000\r\n\r\n{");
                    auto *timer = new QTimer(socket);
                    connect(timer, &QTimer::timeout, socket, [socket] { socket->write(" "); });
                    timer->start(100);
                });
            }
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/events").arg(serverPort())); }
};

} // namespace

class DeadlinesTest : public QObject
{
    Q_OBJECT

private slots:
    void trickledAnswerEndsAtTheDeadline()
    {
        TricklingServer server;
        QVERIFY(server.isListening());
        rest::HttpRequest request;
        request.url = server.url();
        request.timeoutSeconds = 1; // never silent that long, so only the deadline ends it
        int completions = 0;
        std::optional<Error> error;
        QByteArray received;
        rest::HttpsTransport::shared().dataTask(
            request, [&](const QByteArray &body, const rest::HttpResponse &, std::optional<Error> e) {
                ++completions;
                error = e;
                received = body;
            });
        QTRY_COMPARE_WITH_TIMEOUT(completions, 1, 10000);
        QVERIFY(error);
        QCOMPARE(error->domain(), rest::TransportErrorDomain);
        QCOMPARE(error->code(), int(rest::TransportTimedOut));
        QVERIFY(received.startsWith('{'));
        QTest::qWait(300); // the late answer completes nothing a second time meanwhile
        QCOMPARE(completions, 1);
    }
};

QTEST_GUILESS_MAIN(DeadlinesTest)
#include "tst_deadlines.moc"
