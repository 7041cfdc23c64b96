// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/DateTime.h"
#include "core/Error.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QVariant>

#include <memory>
#include <optional>
#include <variant>

namespace rest {

class RestObject;
using RestObjectPtr = std::shared_ptr<RestObject>;

// A kind of JSON object the REST layer can build: its name and a factory.
// `ObjectClass::of<T>()` is the one instance for the type T.
struct ObjectClass
{
    const char *name;
    RestObjectPtr (*create)();

    template<typename T>
    static const ObjectClass *of()
    {
        static const ObjectClass cls{T::staticClassName(),
                                     []() -> RestObjectPtr { return std::make_shared<T>(); }};
        return &cls;
    }
};

// Picks the object type for a JSON object: the class named by its "kind" when
// the kind map knows it, else the expected class; a surrogate may then stand
// in for the chosen class.
class ObjectClassResolver
{
public:
    ObjectClassResolver() = default;
    explicit ObjectClassResolver(QHash<QString, const ObjectClass *> kindMap,
                                 QHash<const ObjectClass *, const ObjectClass *> surrogates = {})
        : m_kinds(std::move(kindMap)), m_surrogates(std::move(surrogates))
    {}

    const ObjectClass *classForJSON(const QJsonObject &json, const ObjectClass *defaultClass) const;

    // A JSON object becomes an instance of the chosen class; null or {} an
    // empty instance of the default class (or nothing without one); anything
    // else (an array, a string) gives nothing.
    RestObjectPtr objectForJSON(const QJsonValue &json, const ObjectClass *defaultClass) const;

private:
    QHash<QString, const ObjectClass *> m_kinds;
    QHash<const ObjectClass *, const ObjectClass *> m_surrogates;
};

// Converts an API number that may arrive as a string: text with "." is a
// decimal, text starting with "-" a signed 64-bit integer, other text an
// unsigned 64-bit integer. Text that is not such a number gives an invalid
// QVariant (never a silent 0). Non-string values come back as JSON numbers
// (qint64 when integral, else double) or unchanged.
QVariant numberFromJSON(const QJsonValue &value);

// A JSON object from or for the APIs: the received map, read and written by
// JSON name through typed accessors. Converted children (objects, arrays of
// objects, date-times) are cached on first read and replaced on write, and a
// cached child's own changes show in `JSON()`.
class RestObject : public std::enable_shared_from_this<RestObject>
{
public:
    RestObject() = default;
    virtual ~RestObject() = default;
    RestObject(const RestObject &) = delete;
    RestObject &operator=(const RestObject &) = delete;

    static const char *staticClassName() { return "RestObject"; }
    virtual const ObjectClass *objectClass() const { return ObjectClass::of<RestObject>(); }

    // A new object of type T holding the map.
    template<typename T = RestObject>
    static std::shared_ptr<T> withJSON(const QJsonObject &json, ObjectClassResolver resolver = {})
    {
        auto object = std::make_shared<T>();
        object->setJSON(json);
        object->m_resolver = std::move(resolver);
        return object;
    }

    // The whole map, with cached children's current state folded in.
    QJsonObject JSON() const;
    void setJSON(const QJsonObject &json);
    const ObjectClassResolver &objectClassResolver() const { return m_resolver; }
    void setObjectClassResolver(ObjectClassResolver resolver) { m_resolver = std::move(resolver); }

    bool hasKey(const QString &key) const { return m_json.contains(key); }
    bool isNull(const QString &key) const { return m_json.value(key).isNull(); }
    QStringList keys() const { return m_json.keys(); }

    // Untyped: the value as stored.
    QJsonValue value(const QString &key) const;
    void setValue(const QString &key, const QJsonValue &value);
    void remove(const QString &key);

    std::optional<QString> stringValue(const QString &key) const;
    std::optional<qint64> int64Value(const QString &key) const;
    std::optional<quint64> uint64Value(const QString &key) const;
    std::optional<double> doubleValue(const QString &key) const;
    std::optional<bool> boolValue(const QString &key) const;
    QVariant numberValue(const QString &key) const { return numberFromJSON(value(key)); }
    std::optional<DateTime> dateTimeValue(const QString &key) const;
    QStringList stringArrayValue(const QString &key) const;

    void setString(const QString &key, const QString &value) { setValue(key, value); }
    void setInt64(const QString &key, qint64 value) { setValue(key, value); }
    void setDouble(const QString &key, double value) { setValue(key, value); }
    void setBool(const QString &key, bool value) { setValue(key, value); }
    void setDateTime(const QString &key, const DateTime &value);
    void setStringArray(const QString &key, const QStringList &values);

    // A nested object of type T (or the class its "kind" names, when that is
    // a T). Absent, JSON null and non-objects read as nullptr.
    template<typename T = RestObject>
    std::shared_ptr<T> objectValue(const QString &key) const
    {
        return std::dynamic_pointer_cast<T>(objectValueOfClass(key, ObjectClass::of<T>()));
    }
    // An array of objects of type T; elements that are not objects are left out.
    template<typename T = RestObject>
    QList<std::shared_ptr<T>> objectArrayValue(const QString &key) const
    {
        QList<std::shared_ptr<T>> result;
        for (const auto &item : objectArrayOfClass(key, elementClass(key, ObjectClass::of<T>())))
            if (auto typed = std::dynamic_pointer_cast<T>(item))
                result.append(typed);
        return result;
    }
    void setObject(const QString &key, const RestObjectPtr &child);

    std::optional<QString> identifier() const { return stringValue(QStringLiteral("id")); }
    void setIdentifier(const QString &id) { setString(QStringLiteral("id"), id); }

protected:
    // Element classes of arrays, by JSON key.
    virtual QHash<QString, const ObjectClass *> arrayPropertyToClassMap() const { return {}; }

    RestObjectPtr objectValueOfClass(const QString &key, const ObjectClass *cls) const;
    QList<RestObjectPtr> objectArrayOfClass(const QString &key, const ObjectClass *cls) const;
    const ObjectClass *elementClass(const QString &key, const ObjectClass *fallback) const;

private:
    struct CachedArray
    {
        QList<RestObjectPtr> items;
        const ObjectClass *cls;
    };
    using Cached = std::variant<RestObjectPtr, CachedArray, DateTime>;

    mutable QJsonObject m_json;
    mutable QHash<QString, Cached> m_cache;
    ObjectClassResolver m_resolver;
};

// An object whose items array lies under `collectionItemsKey()`.
class CollectionObject : public RestObject
{
public:
    static const char *staticClassName() { return "CollectionObject"; }
    const ObjectClass *objectClass() const override { return ObjectClass::of<CollectionObject>(); }

    virtual QString collectionItemsKey() const { return QStringLiteral("items"); }
    // The class items are built as when their "kind" does not say otherwise.
    virtual const ObjectClass *itemClass() const { return ObjectClass::of<RestObject>(); }

    QList<RestObjectPtr> items() const;
    qsizetype count() const { return items().size(); }
    RestObjectPtr itemAt(qsizetype index) const;
};

struct ErrorObjectItem : RestObject
{
    static const char *staticClassName() { return "ErrorObjectItem"; }
    const ObjectClass *objectClass() const override { return ObjectClass::of<ErrorObjectItem>(); }
    std::optional<QString> domain() const { return stringValue(QStringLiteral("domain")); }
    std::optional<QString> reason() const { return stringValue(QStringLiteral("reason")); }
    std::optional<QString> message() const { return stringValue(QStringLiteral("message")); }
    std::optional<QString> location() const { return stringValue(QStringLiteral("location")); }
};

struct ErrorObjectDetail : RestObject
{
    static const char *staticClassName() { return "ErrorObjectDetail"; }
    const ObjectClass *objectClass() const override { return ObjectClass::of<ErrorObjectDetail>(); }
    // Read from the JSON key "@type".
    std::optional<QString> type() const { return stringValue(QStringLiteral("@type")); }
    std::optional<QString> detail() const { return stringValue(QStringLiteral("detail")); }
};

class ErrorObject;
using ErrorObjectPtr = std::shared_ptr<ErrorObject>;

// The "error" member of an API error answer.
class ErrorObject : public RestObject
{
public:
    static inline const QString ErrorDomain = QStringLiteral("rest.error");
    static inline const QString StructuredErrorKey = QStringLiteral("StructuredError");

    static const char *staticClassName() { return "ErrorObject"; }
    const ObjectClass *objectClass() const override { return ObjectClass::of<ErrorObject>(); }

    // An error object standing for a platform error: its code and message.
    static ErrorObjectPtr fromError(const Error &error);

    std::optional<qint64> code() const { return int64Value(QStringLiteral("code")); }
    std::optional<QString> message() const { return stringValue(QStringLiteral("message")); }
    std::optional<QString> status() const { return stringValue(QStringLiteral("status")); }
    QList<std::shared_ptr<ErrorObjectItem>> errors() const
    {
        return objectArrayValue<ErrorObjectItem>(QStringLiteral("errors"));
    }
    QList<std::shared_ptr<ErrorObjectDetail>> details() const
    {
        return objectArrayValue<ErrorObjectDetail>(QStringLiteral("details"));
    }
    const std::optional<Error> &underlyingError() const { return m_underlying; }

    // Domain "rest.error", code and message of the object, and the object
    // itself under "StructuredError". Made from a platform error, that
    // error's domain and code are kept and only "StructuredError" is added.
    Error foundationError() const;

protected:
    QHash<QString, const ObjectClass *> arrayPropertyToClassMap() const override;

private:
    std::optional<Error> m_underlying;
};

// The error object carried by an error, if any.
ErrorObjectPtr structuredError(const Error &error);

} // namespace rest

Q_DECLARE_METATYPE(rest::ErrorObjectPtr)
