// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Exchange.h"

#include "Util.h"

#include <QJsonArray>
#include <QJsonObject>

Exchange::Exchange(const httplib::Request &request, httplib::Response &response,
                   const httplib::ContentReader *reader)
    : method(QByteArray::fromStdString(request.method)), path(QString::fromStdString(request.path)),
      m_request(request), m_response(response), m_reader(reader)
{
    for (const auto &[key, value] : request.params)
        params.append({QString::fromStdString(key), QString::fromStdString(value)});
    if (!reader)
        m_consumed = true; // the server read any body before routing
    if (!reader) {
        m_body = QByteArray::fromStdString(request.body);
        m_bodySize = m_body.size();
    }
}

QString Exchange::capture(int index) const
{
    return index < int(captures.size()) ? QString::fromStdString(captures[index]) : QString();
}

QString Exchange::header(const char *name) const
{
    return QString::fromStdString(m_request.get_header_value(name));
}

bool Exchange::hasParam(const QString &name) const
{
    for (const auto &pair : params)
        if (pair.first == name)
            return true;
    return false;
}

QString Exchange::param(const QString &name, const QString &fallback) const
{
    for (const auto &pair : params)
        if (pair.first == name)
            return pair.second;
    return fallback;
}

QStringList Exchange::paramList(const QString &name) const
{
    QStringList values;
    for (const auto &pair : params)
        if (pair.first == name)
            values.append(pair.second);
    return values;
}

QString Exchange::remote() const
{
    return QStringLiteral("%1:%2")
        .arg(QString::fromStdString(m_request.remote_addr))
        .arg(m_request.remote_port);
}

bool Exchange::readBody(qint64 limit)
{
    if (m_consumed)
        return m_body.size() <= limit;
    auto refuse = [this] {
        m_body.clear();
        m_consumed = true;
        setHeader("Connection", QStringLiteral("close")); // the rest of the body is not read
        apiError(413, QStringLiteral("Request Entity Too Large"), QStringLiteral("uploadTooLarge"));
        return false;
    };
    if (header("Content-Length").toLongLong() > limit)
        return refuse();
    bool tooLarge = false;
    streamBody([&](const char *data, size_t length) {
        tooLarge = m_body.size() + qint64(length) > limit;
        if (!tooLarge)
            m_body.append(data, qsizetype(length));
        return !tooLarge;
    });
    return tooLarge ? refuse() : true;
}

qint64 Exchange::streamBody(const std::function<bool(const char *, size_t)> &sink)
{
    if (m_consumed)
        return sink(m_body.constData(), size_t(m_body.size())) ? m_body.size() : -1;
    m_consumed = true;
    bool ok = true;
    const bool complete = (*m_reader)([&](const char *data, size_t length) {
        m_bodySize += qint64(length);
        ok = sink(data, length);
        return ok;
    });
    return complete && ok ? m_bodySize : -1;
}

void Exchange::drainBody()
{
    if (!m_consumed)
        streamBody([](const char *, size_t) { return true; });
}

void Exchange::applyMethodOverride()
{
    if (method != "POST" || header("X-HTTP-Method-Override").toUpper() != u"GET")
        return;
    if (!readBody(1 << 20))
        return;
    method = "GET";
    params.append(util::parseForm(m_body));
}

void Exchange::setHeader(const char *name, const QString &value)
{
    m_response.set_header(name, value.toStdString());
}

void Exchange::send(int status, const QByteArray &body, const char *contentType)
{
    m_response.status = status;
    m_response.set_content(body.toStdString(), contentType);
}

void Exchange::json(int status, const QJsonValue &value)
{
    send(status, util::toJson(value), "application/json; charset=UTF-8");
}

void Exchange::apiError(int code, const QString &message, const QString &reason, const QString &location,
                        const QString &locationType)
{
    QJsonObject item{{"message", message}, {"domain", "global"}, {"reason", reason}};
    if (!location.isEmpty())
        item.insert(QStringLiteral("location"), location);
    if (!locationType.isEmpty())
        item.insert(QStringLiteral("locationType"), locationType);
    const QJsonObject error{
        {"code", code}, {"message", message}, {"errors", QJsonArray{item}}, {"status", statusName(code)}};
    json(code, QJsonObject{{"error", error}});
}

void Exchange::oauthError(int code, const QString &error, const QString &description)
{
    json(code, QJsonObject{{"error", error}, {"error_description", description}});
}

QString statusName(int code)
{
    switch (code) {
    case 400: return QStringLiteral("INVALID_ARGUMENT");
    case 401: return QStringLiteral("UNAUTHENTICATED");
    case 403: return QStringLiteral("PERMISSION_DENIED");
    case 404: return QStringLiteral("NOT_FOUND");
    case 405: return QStringLiteral("METHOD_NOT_ALLOWED");
    case 409: return QStringLiteral("ALREADY_EXISTS");
    case 413: return QStringLiteral("OUT_OF_RANGE");
    case 429: return QStringLiteral("RESOURCE_EXHAUSTED");
    case 500: return QStringLiteral("INTERNAL");
    case 503: return QStringLiteral("UNAVAILABLE");
    default: return code >= 500 ? QStringLiteral("UNKNOWN") : QStringLiteral("FAILED_PRECONDITION");
    }
}
