// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/FieldMapping.h"

#include <algorithm>

namespace oauth {

std::optional<QString> FieldMapping::takeString(const QString &name)
{
    const QJsonValue value = m_remaining.value(name);
    if (!value.isString())
        return std::nullopt;
    m_remaining.remove(name);
    return value.toString();
}

std::optional<QDateTime> FieldMapping::takeExpiry(const QString &name)
{
    const QJsonValue value = m_remaining.value(name);
    if (!value.isDouble())
        return std::nullopt;
    m_remaining.remove(name);
    const double seconds = value.toDouble();
    // Clamp absurd lifetimes rather than overflow the date arithmetic.
    const double bounded = std::clamp(seconds, -1e10, 1e10);
    return QDateTime::currentDateTimeUtc().addMSecs(qint64(bounded * 1000));
}

} // namespace oauth
