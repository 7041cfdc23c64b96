// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/URLQueryComponent.h"

#include "oauth/Encoding.h"

namespace oauth {

static QString decodePart(QByteArray part)
{
    return QUrl::fromPercentEncoding(part);
}

URLQueryComponent::URLQueryComponent(const QUrl &url)
{
    QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
    query.replace("+", "%20");
    for (const QByteArray &pair : query.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        m_parameters[decodePart(name)].append(decodePart(value));
    }
}

void URLQueryComponent::addParameter(const QString &name, const QString &value)
{
    m_parameters[name].append(value);
}

void URLQueryComponent::addParameters(const QMap<QString, QString> &parameters)
{
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        addParameter(it.key(), it.value());
}

std::optional<QString> URLQueryComponent::value(const QString &name) const
{
    const QStringList list = m_parameters.value(name);
    if (list.isEmpty())
        return std::nullopt;
    return list.first();
}

QString URLQueryComponent::percentEncodedQuery() const
{
    QStringList pairs;
    for (auto it = m_parameters.cbegin(); it != m_parameters.cend(); ++it) {
        for (const QString &value : it.value())
            pairs.append(encodeQueryPart(it.key()) + u'=' + encodeQueryPart(value));
    }
    return pairs.join(u'&');
}

QUrl URLQueryComponent::urlByReplacingQueryInURL(const QUrl &url) const
{
    QUrl result = url;
    result.setQuery(percentEncodedQuery(), QUrl::StrictMode);
    return result;
}

} // namespace oauth
