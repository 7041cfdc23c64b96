// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// Reads the identity claims of an OpenID ID token. The signature is not
// checked here: the token came straight from the token endpoint, where the
// OAuth layer has already checked issuer, audience and times.
struct IDToken
{
    struct Claims
    {
        std::optional<QString> sub;
        std::optional<QString> email;
        std::optional<QString> name;
        friend bool operator==(const Claims &, const Claims &) = default;
    };

    // The claims of a compact JWT's payload; nullopt when the token has no
    // payload piece, it is not base64url, or not a JSON object. A claim that
    // is missing or not a string is absent.
    static std::optional<Claims> claims(const QString &token);
};
