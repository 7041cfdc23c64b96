// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace oauth {

// A compact OpenID ID token read without checking its signature.
struct ParsedIDToken
{
    QJsonObject header;
    QJsonObject claims;
    QUrl issuer;          // "iss"
    QString subject;      // "sub"
    QStringList audience; // "aud"; a single string becomes a one-element list
    QDateTime expiresAt;  // "exp"
    QDateTime issuedAt;   // "iat"
    std::optional<QString> nonce;

    // nullopt when the token is not two base64url JSON objects, or the claims
    // lack issuer, subject, audience, expiry or issued-at.
    static std::optional<ParsedIDToken> parse(const QString &idToken);
};

} // namespace oauth
