// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Server.h"

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// Google's published descriptions (discovery documents) of Gmail v1, Drive v3
// and Calendar v3, embedded at build time from sandbox/discovery/. They decide
// which query parameters a method takes, of what type, and what shape its
// request body has, so the sandbox refuses exactly what is not declared.
namespace discovery {

struct Parameter
{
    QString type, format;
    bool repeated = false;
    QStringList enumValues;
    std::optional<qint64> minimum, maximum;
};

struct Method
{
    QString id;                           // e.g. "gmail.users.messages.list"
    QHash<QString, Parameter> query;      // the method's and the API's own
    QString requestSchema;                // empty: the method takes no body
    const QJsonObject *schemas = nullptr; // of its API
};

// The method of that id; aborts when the documents do not describe it, a
// mistake in the route table that must not go unnoticed.
const Method &method(const char *id);

// Answers 400 in the provider's error shape and returns false when a query
// parameter does not fit the method (undeclared, given twice though not
// repeated, or of the wrong type), or its JSON body does not fit the request
// schema (a field it does not declare, a value of another type). Malformed
// JSON is left to the handler.
bool check(const Method &method, Exchange &exchange);

// Wraps a route handler with check().
Server::Handler checked(const char *methodId, Server::Handler handler);

} // namespace discovery
