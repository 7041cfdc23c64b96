// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/HTTPServerRequest.h"

#include <QByteArray>
#include <QHostAddress>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>

class QTcpSocket;

namespace oauth {

class HTTPConnection;

// Told of every complete request, on the main thread.
class HTTPServerDelegate
{
public:
    virtual ~HTTPServerDelegate() = default;
    virtual void didReceiveRequest(HTTPConnection *connection,
                                   const std::shared_ptr<HTTPServerRequest> &request) = 0;
};

// One accepted loopback connection: parses requests as bytes arrive, hands
// each to the delegate, and writes the answers in arrival order. Several
// requests may share the connection.
class HTTPConnection : public QObject
{
    Q_OBJECT
public:
    // Takes ownership of the connected socket. The delegate is held weakly
    // through `delegateObject`.
    HTTPConnection(QTcpSocket *socket, QObject *delegateObject, HTTPServerDelegate *delegate,
                   QObject *parent = nullptr);
    ~HTTPConnection() override;

    // A connection on which nothing is received or sent for this long is
    // closed, so an idle local client cannot hold it open.
    static constexpr int DefaultIdleTimeoutMs = 10000;

    QHostAddress peerAddress() const { return m_peerAddress; }
    quint16 peerPort() const { return m_peerPort; }
    void setDelegate(QObject *delegateObject, HTTPServerDelegate *delegate);

    // Writes the first queued request's answer once it has one, then the
    // next ones in turn.
    void processOutgoingBytes();
    // Writes what is already answered, then closes; no more requests are read.
    void closeWhenFlushed();
    // Drops the connection at once, answered or not.
    void closeNow();

    void setIdleTimeout(int ms);
    // Started when bytes last came in or went out.
    const QElapsedTimer &lastActivity() const { return m_lastActivity; }

signals:
    // Emitted once, when the connection is gone; the owner deletes it later.
    void closed(oauth::HTTPConnection *connection);

private:
    void processIncomingBytes();
    void parseBuffer();
    void rejectAndClose(int status);
    void dispatch(const std::shared_ptr<HTTPServerRequest> &request);
    void onDisconnected();
    void beginClose();
    void shutdownWhenWritten();
    void finish();
    HTTPServerDelegate *liveDelegate() const;
    void noteActivity();

    QTcpSocket *m_socket;
    QHostAddress m_peerAddress;
    quint16 m_peerPort = 0;
    QPointer<QObject> m_delegateObject;
    HTTPServerDelegate *m_delegate = nullptr;
    QElapsedTimer m_lastActivity;
    QTimer m_idleTimer;
    http::RequestReader m_reader;
    std::deque<std::shared_ptr<HTTPServerRequest>> m_queue;
    bool m_closeAfterQueue = false; // stop reading; close once answers are out
    bool m_closing = false;
    bool m_writeShutDown = false;
    bool m_finished = false;
};

} // namespace oauth
