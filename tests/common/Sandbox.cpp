// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Sandbox.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QtDebug>

namespace {
constexpr int StartTimeoutMs = 15000;
constexpr int CallTimeoutMs = 30000;
} // namespace

Sandbox::Sandbox(const QStringList &extraArgs) : m_network(std::make_unique<QNetworkAccessManager>())
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TL_SANDBOX_EXE),
                    QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extraArgs);
    if (!m_process.waitForStarted(StartTimeoutMs)) {
        qWarning() << "sandbox did not start:" << m_process.errorString();
        return;
    }
    QElapsedTimer timer;
    timer.start();
    while (!m_process.canReadLine() && timer.elapsed() < StartTimeoutMs
           && m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(100);
    const QByteArray line = m_process.readLine().trimmed();
    m_base = QUrl(QString::fromUtf8(line));
    if (!m_base.isValid() || m_base.port() <= 0)
        qWarning() << "sandbox printed no base URL:" << line;
}

Sandbox::~Sandbox()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool Sandbox::isRunning() const
{
    return m_process.state() == QProcess::Running && m_base.isValid();
}

QUrl Sandbox::baseUrl() const
{
    return m_base;
}

QUrl Sandbox::url(const QString &path) const
{
    const QString slash = path.startsWith(u'/') ? QString() : QStringLiteral("/");
    return QUrl(m_base.toString() + slash + path);
}

QByteArray Sandbox::Reply::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QJsonObject Sandbox::Reply::json() const
{
    return QJsonDocument::fromJson(body).object();
}

Sandbox::Reply Sandbox::send(const QByteArray &method, const QUrl &url,
                             const QList<QPair<QByteArray, QByteArray>> &headers, const QByteArray &body)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    QNetworkReply *reply = m_network->sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(CallTimeoutMs, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    Reply out;
    if (!reply->isFinished()) {
        qWarning() << "sandbox call timed out:" << method << url;
        reply->abort();
    }
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    for (const auto &pair : reply->rawHeaderPairs())
        out.headers.append(pair);
    out.body = reply->readAll();
    reply->deleteLater();
    return out;
}

QJsonValue Sandbox::control(const QByteArray &method, const QString &path, const QJsonValue &body)
{
    QByteArray payload;
    if (body.isObject())
        payload = QJsonDocument(body.toObject()).toJson(QJsonDocument::Compact);
    else if (body.isArray())
        payload = QJsonDocument(body.toArray()).toJson(QJsonDocument::Compact);
    const Reply reply = send(method, url(QStringLiteral("/__sandbox/") + path),
                             {{"Content-Type", "application/json"}}, payload);
    if (reply.status != 200) {
        qWarning() << "sandbox control" << method << path << "answered" << reply.status << reply.body;
        return {};
    }
    const QJsonDocument doc = QJsonDocument::fromJson(reply.body);
    if (doc.isObject())
        return doc.object();
    if (doc.isArray())
        return doc.array();
    return {};
}

QJsonArray Sandbox::requestLog()
{
    return control("GET", QStringLiteral("log")).toArray();
}
QString Sandbox::loggedHeader(const QJsonObject &entry, const QString &name)
{
    const QJsonObject headers = entry.value(QStringLiteral("headers")).toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    return {};
}
void Sandbox::clearLog()
{
    control("DELETE", QStringLiteral("log"));
}
void Sandbox::reset()
{
    control("POST", QStringLiteral("reset"));
}
void Sandbox::injectFault(const QJsonObject &fault)
{
    control("POST", QStringLiteral("faults"), fault);
}
void Sandbox::clearFaults()
{
    control("DELETE", QStringLiteral("faults"));
}
void Sandbox::setDelay(int ms)
{
    control("POST", QStringLiteral("delay"), QJsonObject{{"ms", ms}});
}

void Sandbox::setTokenLifetime(int seconds)
{
    control("POST", QStringLiteral("token-lifetime"), QJsonObject{{"seconds", seconds}});
}

QJsonObject Sandbox::issueTokens(const QString &sub, int expiresInSeconds)
{
    QJsonObject body{{"sub", sub}};
    if (expiresInSeconds != 0)
        body.insert(QStringLiteral("expiresIn"), expiresInSeconds);
    return control("POST", QStringLiteral("tokens"), body).toObject();
}

QString Sandbox::accessToken(const QString &sub)
{
    return issueTokens(sub).value(QStringLiteral("access_token")).toString();
}

void Sandbox::revoke(const QString &sub)
{
    control("POST", QStringLiteral("revoke"), QJsonObject{{"sub", sub}});
}

void Sandbox::setRefreshRotation(bool enabled)
{
    control("POST", QStringLiteral("refresh-rotation"), QJsonObject{{"enabled", enabled}});
}

void Sandbox::expireAccessTokens(const QString &sub)
{
    control("POST", QStringLiteral("expire"), QJsonObject{{"sub", sub}});
}

QJsonArray Sandbox::accounts()
{
    return control("GET", QStringLiteral("accounts")).toArray();
}

void Sandbox::setConsent(const QString &outcome, const QString &sub)
{
    QJsonObject body{{"outcome", outcome}};
    if (!sub.isEmpty())
        body.insert(QStringLiteral("sub"), sub);
    control("POST", QStringLiteral("consent"), body);
}

QJsonArray Sandbox::drafts(const QString &sub)
{
    return control("GET", QStringLiteral("drafts?sub=") + sub).toArray();
}

int Sandbox::pendingFaults()
{
    return control("GET", QStringLiteral("faults")).toObject().value(QStringLiteral("pending")).toInt(-1);
}

QJsonArray Sandbox::uploads()
{
    return control("GET", QStringLiteral("uploads")).toArray();
}

void Sandbox::setUploadGranularity(qint64 bytes)
{
    control("POST", QStringLiteral("upload-granularity"), QJsonObject{{"bytes", bytes}});
}

void Sandbox::requireClientSecret(bool required)
{
    control("POST", QStringLiteral("client-secret"), QJsonObject{{"required", required}});
}

void Sandbox::setShortPages(const QString &sub, bool on)
{
    control("POST", QStringLiteral("short-pages"), QJsonObject{{"sub", sub}, {"on", on}});
}
