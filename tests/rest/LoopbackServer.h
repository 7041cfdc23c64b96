// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for transport tests: it records every
// request and answers through a handler, which may also hold an answer back
// (answer later with answerHeld) or cut the connection mid-answer.

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <optional>

struct LoopbackRequest
{
    QByteArray method;
    QByteArray target; // path and query as sent
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int connection = 0; // which client connection carried it

    QByteArray header(const QByteArray &name) const
    {
        for (const auto &[k, v] : headers)
            if (k.compare(name, Qt::CaseInsensitive) == 0)
                return v;
        return {};
    }
    bool hasHeader(const QByteArray &name) const
    {
        for (const auto &h : headers)
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    QByteArray path() const
    {
        return target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    }
    QByteArray query() const
    {
        return target.indexOf('?') < 0 ? QByteArray() : target.mid(target.indexOf('?') + 1);
    }
};

struct LoopbackResponse
{
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool cutMidBody = false; // announce the full length, send half, close

    static LoopbackResponse json(int status, const QByteArray &body)
    {
        return {status, {{"Content-Type", "application/json; charset=UTF-8"}}, body};
    }
};

class LoopbackServer : public QObject
{
public:
    // nullopt holds the answer back.
    using Handler = std::function<std::optional<LoopbackResponse>(const LoopbackRequest &)>;

    explicit LoopbackServer(Handler handler = {}) : m_handler(std::move(handler))
    {
        if (!m_handler)
            m_handler = [](const LoopbackRequest &) { return LoopbackResponse::json(200, "{}"); };
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                adopt(socket);
        });
    }

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    QUrl url(const QString &pathAndQuery = QStringLiteral("/")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(pathAndQuery));
    }
    QString root() const { return url().toString(); }
    const QList<LoopbackRequest> &requests() const { return m_requests; }
    int connectionCount() const { return m_connections; }
    qsizetype heldCount() const { return m_held.size(); }

    // Answers the oldest held request.
    void answerHeld(const LoopbackResponse &response)
    {
        if (m_held.isEmpty())
            return;
        QPointer<QTcpSocket> socket = m_held.takeFirst();
        if (socket)
            write(socket, response);
    }

private:
    void adopt(QTcpSocket *socket)
    {
        const int id = ++m_connections;
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer, id] {
            *buffer += socket->readAll();
            while (auto request = take(*buffer, id)) {
                m_requests.append(*request);
                if (auto response = m_handler(*request))
                    write(socket, *response);
                else
                    m_held.append(socket);
            }
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    static std::optional<LoopbackRequest> take(QByteArray &buffer, int connection)
    {
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return std::nullopt;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        LoopbackRequest request;
        request.connection = connection;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        qsizetype length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon < 0)
                continue;
            const QByteArray name = lines[i].left(colon).trimmed();
            const QByteArray value = lines[i].mid(colon + 1).trimmed();
            request.headers.append({name, value});
            if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
                length = value.toLongLong();
        }
        if (buffer.size() < end + 4 + length)
            return std::nullopt;
        request.body = buffer.mid(end + 4, length);
        buffer.remove(0, end + 4 + length);
        return request;
    }

    static void write(QTcpSocket *socket, const LoopbackResponse &r)
    {
        QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + " Status\r\n";
        for (const auto &[k, v] : r.headers)
            out += k + ": " + v + "\r\n";
        out += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n\r\n";
        if (r.cutMidBody) {
            socket->write(out + r.body.left(r.body.size() / 2));
            socket->flush();
            socket->disconnectFromHost();
            return;
        }
        socket->write(out + r.body);
    }

    QTcpServer m_server;
    Handler m_handler;
    QList<LoopbackRequest> m_requests;
    QList<QPointer<QTcpSocket>> m_held;
    int m_connections = 0;
};
Q_DECLARE_METATYPE(LoopbackResponse)
