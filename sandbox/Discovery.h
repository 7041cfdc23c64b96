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
    QString id;                          // e.g. "gmail.users.messages.list"
    QHash<QString, Parameter> query;     // the method's and the API's own
    QString requestSchema;               // empty: the method takes no body
    const QJsonObject *schemas = nullptr; // of its API
};

// The method of that id; aborts when the documents do not describe it, a
// mistake in the route table that must not go unnoticed.
const Method &method(const char *id);

// The first query parameter the method refuses (undeclared, given twice
// though not repeated, or of the wrong type), as the message of a 400 answer.
std::optional<QString> parameterViolation(const Method &method, const QList<QPair<QString, QString>> &params);

// The first place where `body` does not fit the named schema of the method's
// API: a field the schema does not declare, or a value of another type.
std::optional<QString> bodyViolation(const Method &method, const QJsonObject &body);

// Answers 400 in the provider's error shape and returns false when the query
// does not fit the method, or its JSON body (when it has one) does not fit
// the request schema. Malformed JSON is left to the handler.
bool check(const Method &method, Exchange &exchange);

// Wraps a route handler with check().
Server::Handler checked(const char *methodId, Server::Handler handler);

}
