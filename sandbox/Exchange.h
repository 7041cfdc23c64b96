// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <httplib.h>

#include <functional>
#include <string>
#include <vector>

// One request and its answer as the routes see them: decoded parameters, the
// body (read whole for ordinary routes, streamed for uploads) and helpers that
// write answers in the provider's shapes.
class Exchange
{
public:
    Exchange(const httplib::Request &request, httplib::Response &response,
             const httplib::ContentReader *reader);

    QByteArray method;
    QString path;
    std::vector<std::string> captures; // regex groups of the matched route
    QList<QPair<QString, QString>> params;
    // The account whose access token the request was authorized with, once it was.
    QString sub;

    QString capture(int index) const;
    QString header(const char *name) const;
    bool hasParam(const QString &name) const;
    QString param(const QString &name, const QString &fallback = {}) const;
    QStringList paramList(const QString &name) const;
    QString remote() const; // "addr:port" of the client socket

    // Reads the whole body into memory, at most `limit` bytes; false (and a
    // 413 answer) when larger.
    bool readBody(qint64 limit);
    const QByteArray &body() const { return m_body; }
    // Streams the body to `sink`; returns the byte count, or -1 when the
    // client went away or the sink refused.
    qint64 streamBody(const std::function<bool(const char *, size_t)> &sink);
    // Reads and throws away whatever body is left, so the connection stays usable.
    void drainBody();
    qint64 bodySize() const { return m_bodySize; }
    bool bodyConsumed() const { return m_consumed; }
    // Treats a form-encoded POST carrying X-HTTP-Method-Override: GET as that GET.
    void applyMethodOverride();

    const httplib::Request &request() const { return m_request; }
    int status() const { return m_response.status; }
    void setHeader(const char *name, const QString &value);
    void send(int status, const QByteArray &body, const char *contentType);
    void json(int status, const QJsonValue &value);
    // The provider's API error: {"error": {"code", "message", "errors": [...], "status"}}.
    void apiError(int code, const QString &message, const QString &reason, const QString &location = {},
                  const QString &locationType = {});
    // An OAuth error answer (token endpoint): {"error", "error_description"}.
    void oauthError(int code, const QString &error, const QString &description);

private:
    const httplib::Request &m_request;
    httplib::Response &m_response;
    const httplib::ContentReader *m_reader;
    QByteArray m_body;
    qint64 m_bodySize = 0;
    bool m_consumed = false;
};

// Google's status names for HTTP codes, as error bodies carry them.
QString statusName(int code);
