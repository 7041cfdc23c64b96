// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A compact ID token as the token endpoint may send it: read by the OAuth
// layer (header, claims, times) and by the account registry (identity claims).

#include "FuzzSupport.h"

#include "accounts/IDToken.h"
#include "oauth/ParsedIDToken.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString token = fuzz::text(data, size);
    if (const auto parsed = oauth::ParsedIDToken::parse(token)) {
        fuzz::check(parsed->expiresAt.isValid() && parsed->issuedAt.isValid(),
                    "a parsed token has its times");
    }
    if (const auto claims = IDToken::claims(token))
        (void)claims->sub;
    return 0;
}
