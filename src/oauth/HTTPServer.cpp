// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/HTTPServer.h"

#include <QCoreApplication>
#include <QTcpSocket>

#include <algorithm>

namespace oauth {

HTTPServer::HTTPServer(QObject *parent) : TCPServer(parent) {}

HTTPServer::~HTTPServer()
{
    // Connections outlive the server just long enough to deliver answers
    // already given (the browser's completion page), then delete themselves.
    // While the app goes away no event loop is left to wait for that: they
    // end at once.
    const bool appGoing = QCoreApplication::closingDown();
    for (HTTPConnection *connection : std::as_const(m_connections)) {
        disconnect(connection, nullptr, this, nullptr);
        connection->setDelegate(nullptr, nullptr);
        connect(connection, &HTTPConnection::closed, connection, &QObject::deleteLater);
        if (appGoing)
            connection->closeNow();
        else
            connection->closeWhenFlushed();
    }
}

void HTTPServer::setDelegate(QObject *delegateObject, HTTPServerDelegate *delegate)
{
    m_delegateObject = delegateObject;
    m_delegate = delegate;
    for (HTTPConnection *connection : std::as_const(m_connections))
        connection->setDelegate(delegateObject, delegate);
}

void HTTPServer::acceptConnection(QTcpSocket *socket)
{
    makeRoom();
    auto *connection = new HTTPConnection(socket, m_delegateObject, m_delegate);
    connection->setIdleTimeout(idleTimeoutMs);
    m_connections.insert(connection);
    connect(connection, &HTTPConnection::closed, this, &HTTPServer::connectionClosed);
}

void HTTPServer::makeRoom()
{
    while (!m_connections.isEmpty() && m_connections.size() >= qMax(1, maxConnections)) {
        HTTPConnection *stalest = *std::min_element(m_connections.cbegin(), m_connections.cend(),
                                                    [](const HTTPConnection *a, const HTTPConnection *b) {
                                                        return a->lastActivity() < b->lastActivity();
                                                    });
        stalest->closeNow();
        m_connections.remove(stalest); // already gone through closed(), unless it had finished
    }
}

void HTTPServer::connectionClosed(HTTPConnection *connection)
{
    m_connections.remove(connection);
    connection->deleteLater();
}

} // namespace oauth
