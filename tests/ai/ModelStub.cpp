// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ModelStub.h"

#include <QJsonArray>

void ModelStub::answerChat(const QString &content)
{
    const QJsonObject message{{"role", "assistant"}, {"content", content}};
    const QJsonObject choice{{"index", 0}, {"message", message}, {"finish_reason", "stop"}};
    answerJson("/v1/chat/completions", {{"object", "chat.completion"}, {"choices", QJsonArray{choice}}});
}

void ModelStub::listen()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        }
    });
}

void ModelStub::onReadable(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    qsizetype length = 0;
    for (const QByteArray &line : lines) {
        if (line.toLower().startsWith("content-length:"))
            length = line.mid(15).trimmed().toLongLong();
    }
    if (buffer.size() < headerEnd + 4 + length)
        return;
    Request request{requestLine.value(0), requestLine.value(1), buffer.mid(headerEnd + 4, length)};
    m_pending.remove(socket);
    m_requests.append(request);
    reply(socket, request);
}

void ModelStub::reply(QTcpSocket *socket, const Request &request)
{
    const Answer answer = m_answers.value(request.path, Answer{404, "{\"error\":\"not found\"}"});
    if (answer.silent)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status)
                      + " Stub\r\n"
                        "Content-Type: application/json\r\nConnection: close\r\n"
                        "Content-Length: "
                      + QByteArray::number(answer.body.size()) + "\r\n" + answer.extraHeaders + "\r\n";
    socket->write(head + answer.body);
    socket->disconnectFromHost();
}

quint16 closedLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
