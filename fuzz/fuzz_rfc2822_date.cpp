// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The Date header of a received message.

#include "FuzzSupport.h"

#include "mail/GmailMessage.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Timestamp when = gmail::parseDate(fuzz::text(data, size));
    if (when)
        fuzz::check(when->isValid(), "a parsed date is a valid instant");
    (void)relativeLabel(when);
    return 0;
}
