// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace oauth {

// Query parameters by name (ordered by name), each with all its values.
class URLQueryComponent
{
public:
    URLQueryComponent() = default;
    // Reads a URL's query: "+" counts as a space, names and values are
    // percent-decoded once, repeated names keep every value.
    explicit URLQueryComponent(const QUrl &url);

    void addParameter(const QString &name, const QString &value);
    void addParameters(const QMap<QString, QString> &parameters);

    QStringList values(const QString &name) const { return m_parameters.value(name); }
    std::optional<QString> value(const QString &name) const;
    QMap<QString, QStringList> dictionary() const { return m_parameters; }
    bool isEmpty() const { return m_parameters.isEmpty(); }

    // name=value pairs joined by "&", each part encoded by encodeQueryPart.
    QString percentEncodedQuery() const;
    // `url` with its query replaced by this one.
    QUrl urlByReplacingQueryInURL(const QUrl &url) const;

private:
    QMap<QString, QStringList> m_parameters;
};

} // namespace oauth
