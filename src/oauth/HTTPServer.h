#pragma once

#include "oauth/HTTPConnection.h"
#include "oauth/TCPServer.h"

#include <QSet>

namespace oauth {

// The loopback HTTP/1.1 server: every accepted socket becomes an
// HTTPConnection that reports its requests to the delegate.
class HTTPServer : public TCPServer
{
    Q_OBJECT
public:
    explicit HTTPServer(QObject *parent = nullptr);
    // Open connections write what is already answered, then close.
    ~HTTPServer() override;

    // The delegate is held weakly.
    void setDelegate(QObject *delegateObject, HTTPServerDelegate *delegate);
    qsizetype connectionCount() const { return m_connections.size(); }

protected:
    void acceptConnection(QTcpSocket *socket) override;

private:
    void connectionClosed(HTTPConnection *connection);

    QPointer<QObject> m_delegateObject;
    HTTPServerDelegate *m_delegate = nullptr;
    QSet<HTTPConnection *> m_connections;
};

} // namespace oauth
