// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Server.h"

#include "Util.h"

#include <QJsonDocument>

#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <set>
#include <thread>

namespace {

constexpr qint64 BodyLimit = 32 << 20;
constexpr int LogLimit = 20000;
constexpr int LoggedBodyLimit = 64 << 10;

const QStringList SecretFields = {"code",         "code_verifier", "refresh_token", "client_secret",
                                  "access_token", "id_token",      "token",         "raw"};

bool isSecretHeader(const std::string &name)
{
    const QString lower = QString::fromStdString(name).toLower();
    return lower == u"authorization" || lower == u"cookie" || lower == u"proxy-authorization";
}

QString redactHeader(const std::string &value)
{
    const QString text = QString::fromStdString(value);
    const int space = text.indexOf(u' ');
    return (space > 0 ? text.left(space) + u' ' : QString()) + QStringLiteral("<redacted>");
}

QJsonObject redactObject(QJsonObject object)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (SecretFields.contains(it.key()))
            it.value() = QStringLiteral("<redacted>");
        else if (it.value().isObject())
            it.value() = redactObject(it.value().toObject());
    }
    return object;
}

} // namespace

void Server::route(const char *method, const char *pattern, Handler handler, bool streaming)
{
    m_routes.push_back({method, std::regex(pattern), std::move(handler), streaming, false});
}

void Server::control(const char *method, const char *pattern, Handler handler)
{
    m_routes.push_back({method, std::regex(pattern), std::move(handler), false, true});
}

void Server::configure(httplib::Server &server)
{
    server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.set_keep_alive_max_count(100000);
    server.set_keep_alive_timeout(120);
    server.set_read_timeout(60);
    server.set_write_timeout(60);
    server.set_tcp_nodelay(true);
    auto plain = [this](const httplib::Request &req, httplib::Response &res) { serve(req, res, nullptr); };
    auto reading = [this](const httplib::Request &req, httplib::Response &res,
                          const httplib::ContentReader &reader) { serve(req, res, &reader); };
    server.Get(".*", plain);
    server.Options(".*", plain);
    server.Post(".*", reading);
    server.Put(".*", reading);
    server.Patch(".*", reading);
    server.Delete(".*", reading);
    server.set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
        res.status = 500;
        res.set_content(R"({"error":{"code":500,"message":"Internal error.","status":"INTERNAL"}})",
                        "application/json; charset=UTF-8");
    });
}

int Server::bind(int port)
{
    m_v4 = std::make_unique<httplib::Server>();
    configure(*m_v4);
    const int bound = port == 0 ? m_v4->bind_to_any_port("127.0.0.1")
                                : (m_v4->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0)
        return -1;
    auto v6 = std::make_unique<httplib::Server>();
    configure(*v6);
    v6->set_address_family(AF_INET6);
    if (v6->bind_to_port("::1", bound))
        m_v6 = std::move(v6); // IPv6 loopback is optional
    return bound;
}

void Server::run()
{
    std::thread v6thread;
    if (m_v6)
        v6thread = std::thread([this] { m_v6->listen_after_bind(); });
    m_v4->listen_after_bind();
    if (v6thread.joinable())
        v6thread.join();
}

void Server::serveInner(const httplib::Request &req, httplib::Response &res, const QString &batchPath)
{
    serve(req, res, nullptr, batchPath);
}

void Server::serve(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader *reader,
                   const QString &batchPath)
{
    Exchange exchange(req, res, reader);
    bool logged = false;
    dispatch(exchange, logged, batchPath.isEmpty());
    exchange.drainBody();
    if (!logged)
        return;
    QJsonObject entry = logEntry(req, exchange);
    if (!batchPath.isEmpty())
        entry.insert(QStringLiteral("batch"), batchPath);
    std::lock_guard lock(m_mutex);
    m_log.append(entry);
    if (m_log.size() > LogLimit)
        m_log.removeFirst();
}

void Server::dispatch(Exchange &exchange, bool &logged, bool delayed)
{
    const std::string path = exchange.path.toStdString();
    const Route *found = nullptr;
    bool pathKnown = false;
    std::smatch match;
    for (const Route &candidate : m_routes) {
        if (!std::regex_match(path, match, candidate.pattern))
            continue;
        pathKnown = true;
        if (candidate.method == exchange.method
            || (candidate.method == "GET" && exchange.method == "POST"
                && exchange.header("X-HTTP-Method-Override").toUpper() == u"GET")) {
            found = &candidate;
            break;
        }
    }
    logged = !(found && found->control);
    if (logged) {
        if (auto fault = takeFault(exchange.method, exchange.path)) {
            applyFault(exchange, *fault);
            if (fault->status || fault->drop)
                return;
        }
        if (const int delay = delayed ? m_delayMs.load() : 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    if (!found) {
        if (pathKnown)
            exchange.apiError(405, QStringLiteral("Method Not Allowed"),
                              QStringLiteral("httpMethodNotAllowed"));
        else
            exchange.send(404,
                          "<html><body>404. That's an error. The requested URL was not found on this "
                          "server.</body></html>",
                          "text/html; charset=UTF-8");
        return;
    }
    for (size_t i = 1; i < match.size(); ++i)
        exchange.captures.push_back(match[i].str());
    exchange.applyMethodOverride();
    if (!found->streaming && !exchange.readBody(BodyLimit))
        return;
    found->handler(exchange);
}

std::optional<Server::Fault> Server::takeFault(const QByteArray &method, const QString &path)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (!it->method.isEmpty() && it->method != QString::fromLatin1(method))
            continue;
        const bool prefix = it->path.endsWith(u'*');
        if (prefix ? !path.startsWith(it->path.chopped(1)) : path != it->path)
            continue;
        if (it->skip > 0) {
            --it->skip;
            return std::nullopt;
        }
        Fault fault = *it;
        if (it->count > 0 && --it->count == 0)
            m_faults.erase(it);
        return fault;
    }
    return std::nullopt;
}

void Server::applyFault(Exchange &exchange, const Fault &fault)
{
    if (fault.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(fault.delayMs));
    if (fault.drop) {
        dropConnection(exchange.request());
        return;
    }
    if (!fault.status)
        return;
    exchange.drainBody();
    for (auto it = fault.headers.begin(); it != fault.headers.end(); ++it)
        exchange.setHeader(it.key().toUtf8().constData(), it.value().toString());
    if (fault.body.isEmpty() && fault.contentType.isEmpty())
        exchange.apiError(fault.status, QStringLiteral("Injected fault."), QStringLiteral("backendError"));
    else
        exchange.send(fault.status, fault.body,
                      fault.contentType.isEmpty() ? "application/json; charset=UTF-8"
                                                  : fault.contentType.constData());
}

void Server::addFault(const QJsonObject &object)
{
    Fault fault;
    const QString route = object.value(QStringLiteral("route")).toString().trimmed();
    const int space = route.indexOf(u' ');
    fault.method = space > 0 ? route.left(space).toUpper() : QString();
    fault.path = space > 0 ? route.mid(space + 1).trimmed() : route;
    fault.status = object.value(QStringLiteral("status")).toInt();
    fault.body = object.value(QStringLiteral("body")).toString().toUtf8();
    fault.contentType = object.value(QStringLiteral("contentType")).toString().toUtf8();
    fault.headers = object.value(QStringLiteral("headers")).toObject();
    fault.delayMs = object.value(QStringLiteral("delayMs")).toInt();
    fault.drop = object.value(QStringLiteral("drop")).toBool();
    fault.count = object.value(QStringLiteral("count")).toInt(1);
    fault.skip = object.value(QStringLiteral("skip")).toInt();
    if (fault.count == 0)
        return;
    std::lock_guard lock(m_mutex);
    m_faults.append(fault);
}

void Server::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

int Server::pendingFaults() const
{
    std::lock_guard lock(m_mutex);
    return int(m_faults.size());
}

QJsonArray Server::log() const
{
    std::lock_guard lock(m_mutex);
    return m_log;
}

void Server::clearLog()
{
    std::lock_guard lock(m_mutex);
    m_log = QJsonArray();
}

void Server::resetTraffic()
{
    clearLog();
    clearFaults();
    m_delayMs = 0;
}

QJsonObject Server::logEntry(const httplib::Request &req, const Exchange &exchange) const
{
    QJsonObject headers;
    static const std::set<std::string> internal = {"REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR", "LOCAL_PORT"};
    for (const auto &[name, value] : req.headers)
        if (!internal.count(name))
            headers.insert(QString::fromStdString(name),
                           isSecretHeader(name) ? redactHeader(value) : QString::fromStdString(value));
    const std::string &target = req.target;
    const size_t question = target.find('?');
    QJsonObject entry{{"method", QString::fromLatin1(req.method.c_str())},
                      {"path", exchange.path},
                      {"query", question == std::string::npos
                                    ? QString()
                                    : QString::fromStdString(target.substr(question + 1))},
                      {"headers", headers},
                      {"bodySize", exchange.bodySize()},
                      {"connection", exchange.remote()},
                      {"status", exchange.status()},
                      {"sub", exchange.sub},
                      {"time", util::rfc3339Utc(QDateTime::currentDateTimeUtc())}};
    const QByteArray &body = exchange.body();
    if (!body.isEmpty() && body.size() <= LoggedBodyLimit) {
        const QString type = exchange.header("Content-Type");
        if (type.startsWith(u"application/x-www-form-urlencoded")) {
            QJsonObject form;
            for (const auto &[name, value] : util::parseForm(body))
                form.insert(name, SecretFields.contains(name) ? QStringLiteral("<redacted>") : value);
            entry.insert(QStringLiteral("form"), form);
        } else if (auto object = util::parseObject(body)) {
            entry.insert(QStringLiteral("json"), redactObject(*object));
        }
    }
    return entry;
}

void dropConnection(const httplib::Request &req)
{
    // The socket belongs to the HTTP library; find it by its two ports and
    // shut it down, so the client sees the connection close with no answer.
    for (int fd = 3; fd < 65536; ++fd) {
        sockaddr_storage local{}, peer{};
        socklen_t localLength = sizeof local, peerLength = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &localLength) != 0)
            continue;
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0)
            continue;
        auto portOf = [](const sockaddr_storage &address) {
            if (address.ss_family == AF_INET)
                return int(ntohs(reinterpret_cast<const sockaddr_in &>(address).sin_port));
            if (address.ss_family == AF_INET6)
                return int(ntohs(reinterpret_cast<const sockaddr_in6 &>(address).sin6_port));
            return -1;
        };
        if (portOf(local) == req.local_port && portOf(peer) == req.remote_port) {
            shutdown(fd, SHUT_RDWR);
            return;
        }
    }
}
