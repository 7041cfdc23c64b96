// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Error.h"

#include <QDebug>
#include <QHash>

Error::Error(QString domain, int code, QVariantMap userInfo)
    : m_domain(std::move(domain)), m_code(code), m_userInfo(std::move(userInfo))
{}

Error::Error(QString domain, int code, const QString &description)
    : Error(std::move(domain), code, QVariantMap{{DescriptionKey, description}})
{}

Error Error::make(QString domain, int code, const QString &description,
                  const std::optional<Error> &underlying)
{
    QVariantMap info;
    if (!description.isEmpty())
        info.insert(DescriptionKey, description);
    Error error(std::move(domain), code, info);
    return underlying ? error.withUnderlying(*underlying) : error;
}

QString Error::description() const
{
    if (hasDescription())
        return m_userInfo.value(DescriptionKey).toString();
    return QStringLiteral("The operation couldn\u2019t be completed. (%1 error %2.)")
        .arg(m_domain)
        .arg(m_code);
}

bool Error::hasDescription() const
{
    return !m_userInfo.value(DescriptionKey).toString().isEmpty();
}

Error Error::withUnderlying(const Error &underlying) const
{
    Error copy = *this;
    copy.m_underlying = std::make_shared<const Error>(underlying);
    return copy;
}

Error Error::withUserInfo(const QString &key, const QVariant &value) const
{
    Error copy = *this;
    copy.m_userInfo.insert(key, value);
    return copy;
}

bool operator==(const Error &a, const Error &b)
{
    if (a.m_domain != b.m_domain || a.m_code != b.m_code || a.m_userInfo != b.m_userInfo)
        return false;
    if (!a.m_underlying || !b.m_underlying)
        return a.m_underlying == b.m_underlying;
    return *a.m_underlying == *b.m_underlying;
}

size_t qHash(const Error &error, size_t seed)
{
    return qHashMulti(seed, error.domain(), error.code(), error.description());
}

QDebug operator<<(QDebug debug, const Error &error)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Error(" << error.domain() << ", " << error.code() << ", " << error.description()
                    << ")";
    return debug;
}
