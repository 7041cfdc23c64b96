// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

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

    // More connections than this are never open at once: a newcomer beyond
    // it closes the one idle longest, so a local process holding idle
    // connections cannot keep the browser's redirect out.
    static constexpr int DefaultMaxConnections = 16;
    int maxConnections = DefaultMaxConnections;
    int idleTimeoutMs = HTTPConnection::DefaultIdleTimeoutMs;

    // The delegate is held weakly.
    void setDelegate(QObject *delegateObject, HTTPServerDelegate *delegate);
    qsizetype connectionCount() const { return m_connections.size(); }

protected:
    void acceptConnection(QTcpSocket *socket) override;

private:
    void connectionClosed(HTTPConnection *connection);
    void makeRoom();

    QPointer<QObject> m_delegateObject;
    HTTPServerDelegate *m_delegate = nullptr;
    QSet<HTTPConnection *> m_connections;
};

} // namespace oauth
