// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

#include <memory>

// One error value for every layer: a domain, a code, a user-info map and an
// optional underlying error. `description()` is the text views show as is.
class Error
{
public:
    // User-info key of the user-facing description.
    static inline const QString DescriptionKey = QStringLiteral("description");
    // User-info key of the underlying error (also reachable via underlying()).
    static inline const QString UnderlyingKey = QStringLiteral("underlying");

    Error() = default;
    Error(QString domain, int code, QVariantMap userInfo = {});
    Error(QString domain, int code, const QString &description);

    // Builder for the common "domain, code, description, underlying" form.
    static Error make(QString domain, int code, const QString &description,
                      const std::optional<Error> &underlying = std::nullopt);

    QString domain() const { return m_domain; }
    int code() const { return m_code; }
    QVariantMap userInfo() const { return m_userInfo; }
    QVariant userInfoValue(const QString &key) const { return m_userInfo.value(key); }

    // The given description, or a generic sentence naming domain and code.
    QString description() const;
    bool hasDescription() const;

    const Error *underlying() const { return m_underlying.get(); }
    Error withUnderlying(const Error &underlying) const;
    Error withUserInfo(const QString &key, const QVariant &value) const;

    bool is(const QString &domain, int code) const { return m_domain == domain && m_code == code; }

    friend bool operator==(const Error &a, const Error &b);
    friend bool operator!=(const Error &a, const Error &b) { return !(a == b); }

private:
    QString m_domain;
    int m_code = 0;
    QVariantMap m_userInfo;
    std::shared_ptr<const Error> m_underlying;
};

size_t qHash(const Error &error, size_t seed = 0);
QDebug operator<<(QDebug debug, const Error &error);

Q_DECLARE_METATYPE(Error)
