// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Error.h"

#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace oauth {

inline const QString TCPServerErrorDomain = QStringLiteral("TCPServerErrorDomain");
enum TCPServerErrorCode {
    TCPServerNoSocketsAvailable = 1,   // neither loopback address could be bound
    TCPServerCouldNotCreateSocket = 3, // the system offers no TCP sockets at all
};

// Listens on the loopback interface only: 127.0.0.1 and ::1 on the same
// port. Port 0 asks the system for a free port; after start() `port()` is
// the bound one. Accepted sockets go to acceptConnection() on the main
// thread's event loop.
class TCPServer : public QObject
{
    Q_OBJECT
public:
    explicit TCPServer(QObject *parent = nullptr);
    ~TCPServer() override;

    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }

    // Binds what it can; fails only when neither address can be bound.
    bool start(Error *error = nullptr);
    // Closes the listening sockets: new connections are refused. Accepted
    // connections are the subclass's business.
    void stop();

    bool isListening() const;
    bool listensOnIPv4() const { return m_ipv4 != nullptr; }
    bool listensOnIPv6() const { return m_ipv6 != nullptr; }

protected:
    // Takes ownership of the socket; the default closes it.
    virtual void acceptConnection(QTcpSocket *socket);

private:
    QTcpServer *listenOn(const QString &address, quint16 port, bool *unsupported);
    void acceptPending(QTcpServer *server);

    quint16 m_port = 0;
    QTcpServer *m_ipv4 = nullptr;
    QTcpServer *m_ipv6 = nullptr;
};

} // namespace oauth
