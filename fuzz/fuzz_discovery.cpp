// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The provider's OpenID discovery document.

#include "FuzzSupport.h"

#include "oauth/ServiceConfiguration.h"
#include "core/Error.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto parsed = oauth::parseDiscoveryDocument(fuzz::bytes(data, size));
    if (const auto *configuration = std::get_if<oauth::ServiceConfiguration>(&parsed)) {
        fuzz::check(configuration->discoveryDocument.has_value(), "the document is kept");
        fuzz::check(!configuration->issuer.isEmpty() && !configuration->tokenEndpoint.isEmpty(),
                    "an accepted document names its issuer and token endpoint");
        (void)oauth::discoveryURL(configuration->issuer);
    } else {
        (void)std::get<Error>(parsed).description();
    }
    return 0;
}
