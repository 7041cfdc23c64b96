#include "oauth/HTTPServer.h"

#include <QTcpSocket>

namespace oauth {

HTTPServer::HTTPServer(QObject *parent) : TCPServer(parent) {}

HTTPServer::~HTTPServer()
{
    // Connections outlive the server just long enough to deliver answers
    // already given (the browser's completion page), then delete themselves.
    for (HTTPConnection *connection : std::as_const(m_connections)) {
        disconnect(connection, nullptr, this, nullptr);
        connection->setDelegate(nullptr, nullptr);
        connect(connection, &HTTPConnection::closed, connection, &QObject::deleteLater);
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
    auto *connection = new HTTPConnection(socket, m_delegateObject, m_delegate);
    m_connections.insert(connection);
    connect(connection, &HTTPConnection::closed, this, &HTTPServer::connectionClosed);
}

void HTTPServer::connectionClosed(HTTPConnection *connection)
{
    m_connections.remove(connection);
    connection->deleteLater();
}

} // namespace oauth
