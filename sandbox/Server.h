// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Exchange.h"

#include <QJsonArray>
#include <QJsonObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <regex>

// The HTTP front of the sandbox: one route table served on 127.0.0.1 and ::1,
// with the request log, per-route fault injection and a global answer delay
// applied to every provider route.
class Server
{
public:
    using Handler = std::function<void(Exchange &)>;

    // A route whose body is read whole (up to a limit) before the handler
    // runs, unless `streaming` lets the handler stream it.
    void route(const char *method, const char *pattern, Handler handler, bool streaming = false);
    // Control routes: neither logged nor subject to faults or the delay.
    void control(const char *method, const char *pattern, Handler handler);

    // Binds both loopback addresses; returns the port or -1.
    int bind(int port);
    // Serves until the process ends.
    void run();
    // Serves one call of a batch: routed, faulted and logged (naming the
    // batch's path) like a request of its own, without the answer delay.
    void serveInner(const httplib::Request &req, httplib::Response &res, const QString &batchPath);

    QJsonArray log() const;
    void clearLog();
    void addFault(const QJsonObject &fault);
    void clearFaults();
    // Faults not used up yet; a test waits on it to know a request arrived.
    int pendingFaults() const;
    void setDelay(int ms) { m_delayMs = ms; }
    void resetTraffic(); // log, faults and delay

private:
    struct Route
    {
        QByteArray method;
        std::regex pattern;
        Handler handler;
        bool streaming = false;
        bool control = false;
    };
    struct Fault
    {
        QString method; // empty: any
        QString path;   // may end in "*"
        int status = 0;
        QByteArray body;
        QByteArray contentType;
        QJsonObject headers;
        int delayMs = 0;
        bool drop = false;
        int count = 1;
        int skip = 0;
    };

    void serve(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader *reader,
               const QString &batchPath = {});
    void dispatch(Exchange &exchange, bool &logged, bool delayed);
    std::optional<Fault> takeFault(const QByteArray &method, const QString &path);
    void applyFault(Exchange &exchange, const Fault &fault);
    QJsonObject logEntry(const httplib::Request &req, const Exchange &exchange) const;
    void configure(httplib::Server &server);

    std::vector<Route> m_routes;
    std::unique_ptr<httplib::Server> m_v4;
    std::unique_ptr<httplib::Server> m_v6;
    mutable std::mutex m_mutex; // guards log and faults
    QJsonArray m_log;
    QList<Fault> m_faults;
    std::atomic<int> m_delayMs{0};
};

// Shuts the client connection of `req` down without an answer.
void dropConnection(const httplib::Request &req);
