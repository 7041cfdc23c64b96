// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>

// A purpose-built HTTP/1.1 server on 127.0.0.1 that plays one situation of a
// local model server: each path gets a fixed answer, or none at all (the
// connection is held open and silent). It keeps every request it received.
class ModelStub : public QObject
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        QByteArray extraHeaders; // e.g. "Location: http://...\r\n"
        bool silent = false;
    };
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QByteArray body;
        QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    };

    ModelStub() { listen(); }

    void answer(const QByteArray &path, Answer answer) { m_answers.insert(path, answer); }
    void answerJson(const QByteArray &path, const QJsonObject &body, int status = 200)
    {
        answer(path, {status, QJsonDocument(body).toJson(QJsonDocument::Compact)});
    }
    // A chat completion whose first choice carries `content`.
    void answerChat(const QString &content);

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/v1").arg(m_server.serverPort()); }
    const QList<Request> &requests() const { return m_requests; }

private:
    void listen();
    void onReadable(QTcpSocket *socket);
    void reply(QTcpSocket *socket, const Request &request);

    QTcpServer m_server;
    QHash<QByteArray, Answer> m_answers;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<Request> m_requests;
};

// A loopback port with nothing listening on it.
quint16 closedLoopbackPort();
