// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/HTTPConnection.h"

#include <QDebug>
#include <QTcpSocket>
#include <QTimer>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace oauth {

namespace {

constexpr qint64 ReadChunkBytes = 16384;
constexpr int CloseGraceMs = 10000;

QByteArray rejectionBody(int status)
{
    return status == 413 ? "<html><body>Sign-in error: Request too large.</body></html>"
                         : "<html><body>Sign-in error: Malformed request.</body></html>";
}

} // namespace

HTTPConnection::HTTPConnection(QTcpSocket *socket, QObject *delegateObject, HTTPServerDelegate *delegate,
                               QObject *parent)
    : QObject(parent), m_socket(socket), m_peerAddress(socket->peerAddress()), m_peerPort(socket->peerPort())
{
    setDelegate(delegateObject, delegate);
    m_socket->setParent(this);
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &HTTPConnection::closeNow);
    setIdleTimeout(DefaultIdleTimeoutMs);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &HTTPConnection::noteActivity);
    connect(m_socket, &QTcpSocket::readyRead, this, &HTTPConnection::processIncomingBytes);
    connect(m_socket, &QTcpSocket::disconnected, this, &HTTPConnection::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) {
                if (error != QAbstractSocket::RemoteHostClosedError)
                    qWarning().noquote()
                        << QStringLiteral("HTTPServer stream error: %1").arg(m_socket->errorString());
            });
    // Bytes that arrived before the signals were connected.
    QTimer::singleShot(0, this, &HTTPConnection::processIncomingBytes);
}

HTTPConnection::~HTTPConnection()
{
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
}

void HTTPConnection::setDelegate(QObject *delegateObject, HTTPServerDelegate *delegate)
{
    m_delegateObject = delegateObject;
    m_delegate = delegate;
}

void HTTPConnection::setIdleTimeout(int ms)
{
    m_idleTimer.setInterval(ms);
    noteActivity();
}

void HTTPConnection::noteActivity()
{
    m_lastActivity.start();
    if (!m_finished)
        m_idleTimer.start();
}

HTTPServerDelegate *HTTPConnection::liveDelegate() const
{
    return m_delegateObject ? m_delegate : nullptr;
}

void HTTPConnection::processIncomingBytes()
{
    QPointer<HTTPConnection> self(this);
    while (self && !m_finished && m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(ReadChunkBytes);
        if (chunk.isEmpty())
            break;
        noteActivity();
        if (m_closeAfterQueue)
            continue; // closing: later bytes are not requests we answer
        m_reader.append(chunk);
        parseBuffer();
    }
}

void HTTPConnection::parseBuffer()
{
    QPointer<HTTPConnection> self(this);
    while (self && !m_closeAfterQueue) {
        http::ParseResult result = m_reader.take();
        if (result.kind == http::ParseResult::Incomplete)
            return;
        if (result.kind == http::ParseResult::Invalid) {
            rejectAndClose(result.rejectStatus);
            return;
        }
        auto request = std::make_shared<HTTPServerRequest>(std::move(result.request));
        request->setConnection(this);
        m_queue.push_back(request);
        if (request->wantsClose())
            m_closeAfterQueue = true;
        dispatch(request);
    }
}

void HTTPConnection::dispatch(const std::shared_ptr<HTTPServerRequest> &request)
{
    if (HTTPServerDelegate *delegate = liveDelegate()) {
        delegate->didReceiveRequest(this, request);
        return;
    }
    request->respond(request->version() == "HTTP/1.1" ? 500 : 505, QByteArray());
}

void HTTPConnection::rejectAndClose(int status)
{
    m_reader.clear();
    m_closeAfterQueue = true;
    auto rejection = std::make_shared<HTTPServerRequest>();
    rejection->setConnection(this);
    m_queue.push_back(rejection);
    rejection->respond(status, rejectionBody(status));
}

void HTTPConnection::processOutgoingBytes()
{
    while (!m_queue.empty() && m_queue.front()->hasResponse()) {
        if (m_socket->state() == QAbstractSocket::ConnectedState)
            m_socket->write(m_queue.front()->response()->serialized());
        m_queue.pop_front();
    }
    if (m_queue.empty() && m_closeAfterQueue)
        beginClose();
}

void HTTPConnection::closeWhenFlushed()
{
    processOutgoingBytes();
    m_queue.clear();
    m_closeAfterQueue = true;
    beginClose();
}

void HTTPConnection::closeNow()
{
    m_closeAfterQueue = true;
    m_queue.clear();
    m_socket->abort();
    finish();
}

void HTTPConnection::beginClose()
{
    if (m_closing)
        return;
    m_closing = true;
    connect(m_socket, &QTcpSocket::bytesWritten, this, &HTTPConnection::shutdownWhenWritten);
    QTimer::singleShot(CloseGraceMs, this, [this] {
        m_socket->abort();
        finish();
    });
    shutdownWhenWritten();
}

// Ends our side once every answer byte is out, then drains the peer until it
// closes too: closing with unread input would reset the connection and could
// destroy the answer before the peer reads it.
void HTTPConnection::shutdownWhenWritten()
{
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        finish();
        return;
    }
    if (m_socket->bytesToWrite() > 0 || m_writeShutDown)
        return;
    m_writeShutDown = true;
#ifdef Q_OS_WIN
    ::shutdown(SOCKET(m_socket->socketDescriptor()), SD_SEND);
#else
    ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
#endif
}

void HTTPConnection::onDisconnected()
{
    // A peer may send its last request and close at once: parse what is
    // left, though no answer can be written any more.
    if (!m_closeAfterQueue) {
        m_reader.append(m_socket->readAll());
        parseBuffer();
    }
    finish();
}

void HTTPConnection::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_idleTimer.stop();
    emit closed(this);
}

} // namespace oauth
