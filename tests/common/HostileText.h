// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Text a stranger wrote to make a view fetch something or style itself: a
// remote image and a link aimed at a loopback server the test owns, bold
// markup and an entity. A view that shows it as text shows exactly these
// characters and never connects to the server.

#include <QQuickItem>
#include <QTcpServer>
#include <QTcpSocket>

class HostileText
{
public:
    HostileText()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                ++m_connections;
                socket->close();
                socket->deleteLater();
            }
        });
    }

    bool isListening() const { return m_server.isListening(); }

    // Connections the server has seen, however far they got.
    int connections() const { return m_connections; }

    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    // The hostile text, tagged so that each field can be told apart.
    QString text(const QString &tag) const
    {
        return QStringLiteral("<img src=\"%1/p.png\"><b>%2</b> <a href=\"%1/a\">x</a> &amp;")
            .arg(origin(), tag);
    }

    // The rendered text of the item, and whether it shows it as plain text.
    static bool showsAsIs(const QQuickItem *item, const QString &raw)
    {
        return item && item->property("text").toString() == raw
               && item->property("textFormat").toInt() == 0 /* Text.PlainText */;
    }

private:
    QTcpServer m_server;
    int m_connections = 0;
};
