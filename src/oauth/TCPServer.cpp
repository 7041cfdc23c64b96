// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/TCPServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace oauth {

TCPServer::TCPServer(QObject *parent) : QObject(parent) {}

TCPServer::~TCPServer()
{
    stop();
}

// QTcpServer sets the address-reuse option itself before binding.
QTcpServer *TCPServer::listenOn(const QString &address, quint16 port, bool *unsupported)
{
    auto *server = new QTcpServer(this);
    if (!server->listen(QHostAddress(address), port)) {
        *unsupported = server->serverError() == QAbstractSocket::UnsupportedSocketOperationError;
        delete server;
        return nullptr;
    }
    connect(server, &QTcpServer::newConnection, this, [this, server] { acceptPending(server); });
    return server;
}

bool TCPServer::start(Error *error)
{
    stop();
    const quint16 requested = m_port;
    bool noIPv4 = false;
    bool noIPv6 = false;
    m_ipv4 = listenOn(QStringLiteral("127.0.0.1"), requested, &noIPv4);
    quint16 bound = m_ipv4 ? m_ipv4->serverPort() : requested;
    // A machine without IPv6 still signs in over IPv4, and the other way round.
    m_ipv6 = listenOn(QStringLiteral("::1"), bound, &noIPv6);
    if (!m_ipv4 && m_ipv6)
        bound = m_ipv6->serverPort();
    if (!m_ipv4 && !m_ipv6) {
        if (error) {
            *error = noIPv4 && noIPv6
                         ? Error::make(TCPServerErrorDomain, TCPServerCouldNotCreateSocket,
                                       QStringLiteral("Could not create a listening socket."))
                         : Error::make(TCPServerErrorDomain, TCPServerNoSocketsAvailable,
                                       QStringLiteral("Could not listen on the loopback interface."));
        }
        return false;
    }
    m_port = bound;
    return true;
}

void TCPServer::stop()
{
    // Closed now (new connections are refused at once), deleted later in
    // case this runs inside one of their signals.
    for (QTcpServer *server : {m_ipv4, m_ipv6}) {
        if (server) {
            server->close();
            server->deleteLater();
        }
    }
    m_ipv4 = nullptr;
    m_ipv6 = nullptr;
}

bool TCPServer::isListening() const
{
    return m_ipv4 || m_ipv6;
}

void TCPServer::acceptPending(QTcpServer *server)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        socket->setParent(nullptr);
        acceptConnection(socket);
    }
}

void TCPServer::acceptConnection(QTcpSocket *socket)
{
    socket->abort();
    socket->deleteLater();
}

} // namespace oauth
