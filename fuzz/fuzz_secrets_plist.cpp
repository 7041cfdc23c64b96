// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Secrets.plist as whoever builds the app supplies it, XML or binary.

#include "FuzzSupport.h"

#include "accounts/OAuthConfig.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto config = OAuthConfig::fromPlistData(fuzz::bytes(data, size));
    if (config) {
        fuzz::check(!config->clientID.isEmpty(), "a configuration has a client ID");
        fuzz::check(!config->clientSecret || !config->clientSecret->isEmpty(),
                    "a secret, when present, is not empty");
    }
    (void)OAuthConfig::configCheckLine(config);
    return 0;
}
