// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QJsonObject>
#include <QMetaType>
#include <QString>

#include <optional>

// One signed-in Google account. `id` is the OpenID subject and also names
// the account's keychain item.
struct Account
{
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString email MEMBER email)
    Q_PROPERTY(QString displayName MEMBER displayName)
    Q_PROPERTY(QString initials READ initials)
    // Marks the account's rows while every account is shown (AccountColour.h).
    Q_PROPERTY(QColor colour READ colour)

public:
    QString id;
    QString email;
    QString displayName;

    // Up to two upper-cased initials for the avatar (empty when none).
    QString initials() const;
    QColor colour() const;

    // JSON with exactly "id", "email" and "displayName".
    QJsonObject toJson() const;
    // All three members must be present strings; other members are ignored.
    static std::optional<Account> fromJson(const QJsonValue &value);

    friend bool operator==(const Account &, const Account &) = default;
};

size_t qHash(const Account &account, size_t seed = 0);

// The first one or two grapheme clusters of the name's first two pieces
// (split at spaces, full stops and "@"), upper-cased without locale rules.
QString initialsOf(const QString &text);

Q_DECLARE_METATYPE(Account)
