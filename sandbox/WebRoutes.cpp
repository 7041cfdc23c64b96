// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Routes.h"

namespace {

void page(Exchange &exchange, const QString &title, const QString &detail)
{
    exchange.send(
        200,
        QStringLiteral("<!doctype html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                       "<body style=\"font-family:sans-serif\"><h1>%1</h1><p>%2</p>"
                       "<p><small>Served by the Tarnlight sandbox provider.</small></p></body></html>")
            .arg(title.toHtmlEscaped(), detail.toHtmlEscaped())
            .toUtf8(),
        "text/html; charset=UTF-8");
}

} // namespace

// Pages behind the links the app opens in a browser (mail thread, event, Drive item).
void addWebRoutes(Server &server, State &)
{
    server.route("GET", R"(/mail/?)", [](Exchange &e) {
        page(e, QStringLiteral("Mail"),
             QStringLiteral("Account %1. The thread named after \"#all/\" opens here.")
                 .arg(e.param(QStringLiteral("authuser"))));
    });
    server.route("GET", R"(/calendar/event)", [](Exchange &e) {
        page(e, QStringLiteral("Event"), QStringLiteral("Event ") + e.param(QStringLiteral("eid")));
    });
    server.route("GET", R"(/drive/folders/([^/]+))", [](Exchange &e) {
        page(e, QStringLiteral("Folder"), QStringLiteral("Folder ") + e.capture(0));
    });
    server.route("GET", R"(/(document|spreadsheets|presentation|file)/d/([^/]+)/(edit|view))",
                 [](Exchange &e) { page(e, e.capture(0), QStringLiteral("Item ") + e.capture(1)); });
    server.route("GET", R"(/)", [](Exchange &e) {
        page(e, QStringLiteral("Tarnlight sandbox provider"),
             QStringLiteral(
                 "Discovery at /.well-known/openid-configuration; control endpoints under /__sandbox/."));
    });
}
