// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/RestObject.h"

#include <QLocale>

#include <limits>
#include <utility>

namespace rest {

namespace {

// A JSON number as Int, none when it lies outside Int's range. A double
// converts only strictly below 2^63 (2^64): the range's end is not an Int.
template<typename Int>
std::optional<Int> integerFrom(const QVariant &n)
{
    using Limits = std::numeric_limits<Int>;
    switch (n.typeId()) {
    case QMetaType::LongLong: {
        const qint64 v = n.toLongLong();
        if (std::cmp_less(v, Limits::min()) || std::cmp_greater(v, Limits::max()))
            return std::nullopt;
        return Int(v);
    }
    case QMetaType::ULongLong: {
        const quint64 v = n.toULongLong();
        if (std::cmp_greater(v, Limits::max()))
            return std::nullopt;
        return Int(v);
    }
    case QMetaType::Double: {
        const double d = n.toDouble();
        if (!(d >= double(Limits::min()) && d < double(Limits::max())))
            return std::nullopt;
        return Int(d);
    }
    case QMetaType::Bool: return n.toBool() ? 1 : 0;
    default: return std::nullopt;
    }
}

QVariant numberFromString(const QString &text)
{
    bool ok = false;
    if (text.contains(u'.')) {
        const double value = QLocale(QLocale::English, QLocale::UnitedStates).toDouble(text, &ok);
        return ok ? QVariant(value) : QVariant();
    }
    if (text.startsWith(u'-')) {
        const qlonglong value = text.toLongLong(&ok, 10);
        return ok ? QVariant(value) : QVariant();
    }
    const qulonglong value = text.toULongLong(&ok, 10);
    return ok ? QVariant(value) : QVariant();
}

} // namespace

QVariant numberFromJSON(const QJsonValue &value)
{
    if (value.isString())
        return numberFromString(value.toString());
    if (value.isDouble()) {
        const double d = value.toDouble();
        const qint64 i = value.toInteger(std::numeric_limits<qint64>::min());
        if (i != std::numeric_limits<qint64>::min() || d == double(i))
            return QVariant(qlonglong(i));
        return QVariant(d);
    }
    return value.toVariant();
}

const ObjectClass *ObjectClassResolver::classForJSON(const QJsonObject &json,
                                                     const ObjectClass *defaultClass) const
{
    const ObjectClass *cls = defaultClass;
    const QString kind = json.value(QStringLiteral("kind")).toString();
    if (!kind.isEmpty())
        cls = m_kinds.value(kind, defaultClass);
    return m_surrogates.value(cls, cls);
}

RestObjectPtr ObjectClassResolver::objectForJSON(const QJsonValue &json,
                                                 const ObjectClass *defaultClass) const
{
    if (!json.isObject() && !json.isNull())
        return nullptr;
    const QJsonObject map = json.toObject();
    const ObjectClass *cls = map.isEmpty() ? m_surrogates.value(defaultClass, defaultClass)
                                           : classForJSON(map, defaultClass);
    if (!cls)
        return nullptr;
    RestObjectPtr object = cls->create();
    object->setJSON(map);
    object->setObjectClassResolver(*this);
    return object;
}

QJsonObject RestObject::JSON() const
{
    QJsonObject json = m_json;
    for (auto it = m_cache.cbegin(); it != m_cache.cend(); ++it) {
        if (const auto *child = std::get_if<RestObjectPtr>(&it.value())) {
            if (*child)
                json.insert(it.key(), (*child)->JSON());
        } else if (const auto *array = std::get_if<CachedArray>(&it.value())) {
            QJsonArray values;
            for (const auto &item : array->items)
                values.append(item->JSON());
            json.insert(it.key(), values);
        }
    }
    return json;
}

void RestObject::setJSON(const QJsonObject &json)
{
    m_json = json;
    m_cache.clear();
}

QJsonValue RestObject::value(const QString &key) const
{
    if (m_cache.contains(key))
        return JSON().value(key);
    return m_json.value(key);
}

void RestObject::setValue(const QString &key, const QJsonValue &value)
{
    m_cache.remove(key);
    m_json.insert(key, value);
}

void RestObject::remove(const QString &key)
{
    m_cache.remove(key);
    m_json.remove(key);
}

std::optional<QString> RestObject::stringValue(const QString &key) const
{
    const QJsonValue v = m_json.value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

std::optional<qint64> RestObject::int64Value(const QString &key) const
{
    return integerFrom<qint64>(numberValue(key));
}

std::optional<quint64> RestObject::uint64Value(const QString &key) const
{
    return integerFrom<quint64>(numberValue(key));
}

std::optional<double> RestObject::doubleValue(const QString &key) const
{
    const QVariant n = numberValue(key);
    switch (n.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Bool: return n.toDouble();
    default: return std::nullopt;
    }
}

std::optional<bool> RestObject::boolValue(const QString &key) const
{
    const QJsonValue v = m_json.value(key);
    if (v.isBool())
        return v.toBool();
    if (const auto d = doubleValue(key))
        return *d != 0;
    return std::nullopt;
}

std::optional<DateTime> RestObject::dateTimeValue(const QString &key) const
{
    const auto it = m_cache.constFind(key);
    if (it != m_cache.cend()) {
        if (const auto *cached = std::get_if<DateTime>(&it.value()))
            return *cached;
    }
    const auto text = stringValue(key);
    if (!text)
        return std::nullopt;
    const DateTime parsed = DateTime::fromRFC3339String(*text);
    if (!parsed.isValid())
        return std::nullopt;
    m_cache.insert(key, parsed);
    return parsed;
}

QStringList RestObject::stringArrayValue(const QString &key) const
{
    QStringList result;
    for (const QJsonValue &v : m_json.value(key).toArray())
        if (v.isString())
            result.append(v.toString());
    return result;
}

void RestObject::setDateTime(const QString &key, const DateTime &value)
{
    setValue(key, value.RFC3339String());
    m_cache.insert(key, value);
}

void RestObject::setStringArray(const QString &key, const QStringList &values)
{
    setValue(key, QJsonArray::fromStringList(values));
}

void RestObject::setObject(const QString &key, const RestObjectPtr &child)
{
    if (!child) {
        setValue(key, QJsonValue::Null);
        return;
    }
    m_json.insert(key, child->JSON());
    m_cache.insert(key, child);
}

RestObjectPtr RestObject::objectValueOfClass(const QString &key, const ObjectClass *cls) const
{
    auto it = m_cache.find(key);
    if (it != m_cache.end()) {
        if (const auto *child = std::get_if<RestObjectPtr>(&it.value())) {
            if (*child && (cls == ObjectClass::of<RestObject>() || (*child)->objectClass() == cls))
                return *child;
            if (*child)
                m_json.insert(key, (*child)->JSON()); // keep its changes before rebuilding
        }
    }
    const QJsonValue json = m_json.value(key);
    if (!json.isObject())
        return nullptr;
    RestObjectPtr child = m_resolver.objectForJSON(json, cls);
    m_cache.insert(key, child);
    return child;
}

QList<RestObjectPtr> RestObject::objectArrayOfClass(const QString &key, const ObjectClass *cls) const
{
    auto it = m_cache.find(key);
    if (it != m_cache.end()) {
        if (const auto *array = std::get_if<CachedArray>(&it.value())) {
            if (array->cls == cls)
                return array->items;
            QJsonArray values;
            for (const auto &item : array->items)
                values.append(item->JSON());
            m_json.insert(key, values);
        }
    }
    const QJsonValue json = m_json.value(key);
    if (!json.isArray())
        return {};
    QList<RestObjectPtr> items;
    for (const QJsonValue &element : json.toArray()) {
        if (!element.isObject())
            continue;
        if (auto item = m_resolver.objectForJSON(element, cls))
            items.append(item);
    }
    m_cache.insert(key, CachedArray{items, cls});
    return items;
}

const ObjectClass *RestObject::elementClass(const QString &key, const ObjectClass *fallback) const
{
    return arrayPropertyToClassMap().value(key, fallback);
}

QList<RestObjectPtr> CollectionObject::items() const
{
    const QString key = collectionItemsKey();
    return objectArrayOfClass(key, elementClass(key, itemClass()));
}

RestObjectPtr CollectionObject::itemAt(qsizetype index) const
{
    const auto all = items();
    return index >= 0 && index < all.size() ? all[index] : nullptr;
}

ErrorObjectPtr ErrorObject::fromError(const Error &error)
{
    auto object = std::make_shared<ErrorObject>();
    object->setInt64(QStringLiteral("code"), error.code());
    object->setString(QStringLiteral("message"), error.description());
    object->m_underlying = error;
    return object;
}

QHash<QString, const ObjectClass *> ErrorObject::arrayPropertyToClassMap() const
{
    return {{QStringLiteral("errors"), ObjectClass::of<ErrorObjectItem>()},
            {QStringLiteral("details"), ObjectClass::of<ErrorObjectDetail>()}};
}

Error ErrorObject::foundationError() const
{
    auto self = std::const_pointer_cast<ErrorObject>(
        std::static_pointer_cast<const ErrorObject>(weak_from_this().lock()));
    if (!self) // not owned by a pointer: carry a copy
        self = withJSON<ErrorObject>(JSON(), objectClassResolver());
    const QVariant structured = QVariant::fromValue(self);
    if (m_underlying)
        return m_underlying->withUserInfo(StructuredErrorKey, structured);
    QVariantMap info;
    if (const auto text = message(); text && !text->isEmpty())
        info.insert(Error::DescriptionKey, *text);
    info.insert(StructuredErrorKey, structured);
    return Error(ErrorDomain, int(code().value_or(0)), info);
}

ErrorObjectPtr structuredError(const Error &error)
{
    return error.userInfoValue(ErrorObject::StructuredErrorKey).value<ErrorObjectPtr>();
}

} // namespace rest
