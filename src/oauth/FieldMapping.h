// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QJsonObject>

#include <optional>

namespace oauth {

// Moves the known members of a response into typed fields; whatever is not
// taken (or has the wrong JSON type) stays behind as additional parameters.
class FieldMapping
{
public:
    explicit FieldMapping(QJsonObject json) : m_remaining(std::move(json)) {}

    std::optional<QString> takeString(const QString &name);
    // A number of seconds from now.
    std::optional<QDateTime> takeExpiry(const QString &name);

    QJsonObject remaining() const { return m_remaining; }

    // The token members an authorization answer (implicit flow) and a token
    // answer share, under their wire names.
    template<typename Answer>
    void takeTokenMembers(Answer &answer)
    {
        answer.accessToken = takeString(QStringLiteral("access_token"));
        answer.accessTokenExpirationDate = takeExpiry(QStringLiteral("expires_in"));
        answer.tokenType = takeString(QStringLiteral("token_type"));
        answer.idToken = takeString(QStringLiteral("id_token"));
        answer.scope = takeString(QStringLiteral("scope"));
    }

private:
    QJsonObject m_remaining;
};

} // namespace oauth
