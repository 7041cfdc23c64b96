// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Discovery.h"

#include "Util.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace discovery {
namespace {

struct Catalog
{
    std::map<QString, QJsonObject> schemas; // by API name; nodes never move
    QHash<QString, Method> methods;
};

Parameter parameterOf(const QJsonObject &json)
{
    Parameter parameter;
    parameter.type = json.value(QStringLiteral("type")).toString();
    parameter.format = json.value(QStringLiteral("format")).toString();
    parameter.repeated = json.value(QStringLiteral("repeated")).toBool();
    for (const QJsonValue &value : json.value(QStringLiteral("enum")).toArray())
        parameter.enumValues.append(value.toString());
    if (json.contains(QStringLiteral("minimum")))
        parameter.minimum = json.value(QStringLiteral("minimum")).toString().toLongLong();
    if (json.contains(QStringLiteral("maximum")))
        parameter.maximum = json.value(QStringLiteral("maximum")).toString().toLongLong();
    return parameter;
}

QHash<QString, Parameter> queryParameters(const QJsonObject &declared)
{
    QHash<QString, Parameter> query;
    for (auto it = declared.begin(); it != declared.end(); ++it)
        if (it.value().toObject().value(QStringLiteral("location")).toString() == u"query")
            query.insert(it.key(), parameterOf(it.value().toObject()));
    return query;
}

void collectMethods(Catalog &catalog, const QJsonObject &resources, const QHash<QString, Parameter> &global,
                    const QJsonObject *schemas)
{
    for (const QJsonValue &resource : resources) {
        const QJsonObject methods = resource.toObject().value(QStringLiteral("methods")).toObject();
        for (const QJsonValue &value : methods) {
            const QJsonObject json = value.toObject();
            Method method;
            method.id = json.value(QStringLiteral("id")).toString();
            method.query = global;
            method.query.insert(queryParameters(json.value(QStringLiteral("parameters")).toObject()));
            method.requestSchema =
                json.value(QStringLiteral("request")).toObject().value(QStringLiteral("$ref")).toString();
            method.schemas = schemas;
            catalog.methods.insert(method.id, method);
        }
        collectMethods(catalog, resource.toObject().value(QStringLiteral("resources")).toObject(), global,
                       schemas);
    }
}

void load(Catalog &catalog, const char *name)
{
    QFile file(QStringLiteral(":/discovery/%1.json").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tarnlight-sandbox: the discovery document %s is not embedded\n", name);
        std::abort();
    }
    const QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
    const QString api = document.value(QStringLiteral("name")).toString();
    const QJsonObject *schemas = &(
        catalog.schemas[api] = document.value(QStringLiteral("schemas")).toObject());
    const auto global = queryParameters(document.value(QStringLiteral("parameters")).toObject());
    collectMethods(catalog, document.value(QStringLiteral("resources")).toObject(), global, schemas);
}

const Catalog &catalog()
{
    static const Catalog instance = [] {
        Catalog built;
        for (const char *name : {"gmail.v1", "drive.v3", "calendar.v3"})
            load(built, name);
        return built;
    }();
    return instance;
}

QString invalidValue(const QString &name, const QString &expected, const QString &value)
{
    return QStringLiteral("Invalid value at '%1' (%2), \"%3\"").arg(name, expected, value);
}

std::optional<QString> integerViolation(const QString &name, const Parameter &p, const QString &value)
{
    static const QRegularExpression digits(QStringLiteral("^-?[0-9]{1,18}$"));
    const QString expected = p.format == u"uint32" ? QStringLiteral("TYPE_UINT32")
                                                   : QStringLiteral("TYPE_INT32");
    if (!digits.match(value).hasMatch())
        return invalidValue(name, expected, value);
    const qint64 number = value.toLongLong();
    const bool inRange = p.format == u"uint32" ? number >= 0 && number <= 0xffffffffLL
                                               : number >= -0x80000000LL && number <= 0x7fffffffLL;
    if (!inRange)
        return invalidValue(name, expected, value);
    if ((p.minimum && number < *p.minimum) || (p.maximum && number > *p.maximum))
        return QStringLiteral("Invalid value for %1: %2 is out of range").arg(name, value);
    return std::nullopt;
}

std::optional<QString> valueViolation(const QString &name, const Parameter &p, const QString &value)
{
    if (p.type == u"integer")
        return integerViolation(name, p, value);
    if (p.type == u"boolean" && value != u"true" && value != u"false")
        return invalidValue(name, QStringLiteral("TYPE_BOOL"), value);
    if (!p.enumValues.isEmpty() && !p.enumValues.contains(value))
        return invalidValue(name, QStringLiteral("TYPE_ENUM"), value);
    if (p.format == u"date-time" && !util::parseRfc3339(value))
        return invalidValue(name, QStringLiteral("date-time"), value);
    return std::nullopt;
}

QString shown(const QJsonValue &value)
{
    if (value.isString())
        return u'"' + value.toString() + u'"';
    const QJsonDocument document = value.isObject() ? QJsonDocument(value.toObject())
                                                    : QJsonDocument(QJsonArray{value});
    QString text = QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    return value.isObject() ? text : text.mid(1, text.size() - 2);
}

bool isNumeric(const QJsonValue &value)
{
    bool ok = false;
    if (value.isString())
        value.toString().toDouble(&ok);
    return value.isDouble() || ok;
}

std::optional<QString> schemaViolation(const QJsonValue &value, QJsonObject schema,
                                       const QJsonObject &schemas, const QString &at);

std::optional<QString> objectViolation(const QJsonObject &object, const QJsonObject &schema,
                                       const QJsonObject &schemas, const QString &at)
{
    const QJsonObject properties = schema.value(QStringLiteral("properties")).toObject();
    const QJsonValue additional = schema.value(QStringLiteral("additionalProperties"));
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString where = at.isEmpty() ? it.key() : at + u'.' + it.key();
        std::optional<QString> found;
        if (properties.contains(it.key()))
            found = schemaViolation(it.value(), properties.value(it.key()).toObject(), schemas, where);
        else if (additional.isObject())
            found = schemaViolation(it.value(), additional.toObject(), schemas, where);
        else if (!properties.isEmpty())
            found = QStringLiteral("Invalid JSON payload received. Unknown name \"%1\"%2: Cannot find field.")
                        .arg(it.key(), at.isEmpty() ? QString() : QStringLiteral(" at '%1'").arg(at));
        if (found)
            return found;
    }
    return std::nullopt;
}

// Types as the descriptions declare them; numbers may come as numeric
// strings and 64-bit integers (strings of format int64) as numbers, as the
// JSON mapping of Google's APIs takes them. null stands for an absent field.
std::optional<QString> schemaViolation(const QJsonValue &value, QJsonObject schema,
                                       const QJsonObject &schemas, const QString &at)
{
    if (schema.contains(QStringLiteral("$ref")))
        schema = schemas.value(schema.value(QStringLiteral("$ref")).toString()).toObject();
    if (value.isNull() || value.isUndefined())
        return std::nullopt;
    const QString type = schema.value(QStringLiteral("type")).toString();
    const QString format = schema.value(QStringLiteral("format")).toString();
    auto wrong = [&](const char *expected) {
        return std::optional<QString>(
            QStringLiteral("Invalid JSON payload received. Invalid value at '%1' (%2), %3")
                .arg(at, QLatin1String(expected), shown(value)));
    };
    if (type == u"object")
        return value.isObject() ? objectViolation(value.toObject(), schema, schemas, at) : wrong("object");
    if (type == u"array") {
        if (!value.isArray())
            return wrong("list");
        const QJsonArray items = value.toArray();
        for (int i = 0; i < items.size(); ++i)
            if (auto found = schemaViolation(items[i], schema.value(QStringLiteral("items")).toObject(),
                                             schemas, QStringLiteral("%1[%2]").arg(at).arg(i)))
                return found;
        return std::nullopt;
    }
    if (type == u"string") {
        if (value.isDouble() && (format == u"int64" || format == u"uint64"))
            return std::nullopt;
        if (!value.isString())
            return wrong("TYPE_STRING");
        const QJsonArray allowed = schema.value(QStringLiteral("enum")).toArray();
        return allowed.isEmpty() || allowed.contains(value) ? std::nullopt : wrong("TYPE_ENUM");
    }
    if (type == u"integer" || type == u"number")
        return isNumeric(value) ? std::nullopt : wrong(type == u"integer" ? "TYPE_INT32" : "TYPE_DOUBLE");
    if (type == u"boolean")
        return value.isBool() ? std::nullopt : wrong("TYPE_BOOL");
    return std::nullopt; // "any"
}

struct Violation
{
    QString message, location;
};

std::optional<Violation> queryViolation(const Method &method, const QList<QPair<QString, QString>> &params)
{
    QSet<QString> seen;
    for (const auto &[name, value] : params) {
        const auto declared = method.query.constFind(name);
        if (declared == method.query.constEnd())
            return Violation{
                QStringLiteral("Invalid JSON payload received. Unknown name \"%1\": Cannot bind query "
                               "parameter. Field '%1' could not be found in request message.")
                    .arg(name),
                name};
        if (seen.contains(name) && !declared->repeated)
            return Violation{
                QStringLiteral("Invalid JSON payload received. Unknown name \"%1\": Cannot bind a list "
                               "to a non-repeated field.")
                    .arg(name),
                name};
        seen.insert(name);
        if (auto message = valueViolation(name, *declared, value))
            return Violation{*message, name};
    }
    return std::nullopt;
}

std::optional<QString> bodyViolation(const Method &method, const QJsonObject &body)
{
    if (method.requestSchema.isEmpty() || !method.schemas)
        return std::nullopt;
    return objectViolation(body, method.schemas->value(method.requestSchema).toObject(), *method.schemas,
                           QString());
}

} // namespace

const Method &method(const char *id)
{
    const auto it = catalog().methods.constFind(QLatin1String(id));
    if (it == catalog().methods.constEnd()) {
        std::fprintf(stderr, "tarnlight-sandbox: no method %s in the discovery documents\n", id);
        std::abort();
    }
    return *it;
}

bool check(const Method &method, Exchange &exchange)
{
    if (auto found = queryViolation(method, exchange.params)) {
        exchange.apiError(400, found->message, QStringLiteral("invalid"), found->location,
                          QStringLiteral("parameter"));
        return false;
    }
    if (method.requestSchema.isEmpty() || !exchange.bodyConsumed() || exchange.method == "GET")
        return true;
    const auto body = util::parseObject(exchange.body());
    if (!body)
        return true;
    if (auto found = bodyViolation(method, *body)) {
        exchange.apiError(400, *found, QStringLiteral("invalid"));
        return false;
    }
    return true;
}

Server::Handler checked(const char *methodId, Server::Handler handler)
{
    const Method *rule = &method(methodId);
    return [rule, handler = std::move(handler)](Exchange &exchange) {
        if (check(*rule, exchange))
            handler(exchange);
    };
}

} // namespace discovery
