// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// RFC 3339 date-times from the APIs. Any date-time the parser accepts
// prints as text it accepts again, for the same instant.

#include "FuzzSupport.h"

#include "rest/DateTime.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using rest::DateTime;
    const QString text = fuzz::text(data, size);
    const DateTime parsed = DateTime::fromRFC3339String(text);
    if (parsed.isValid()) {
        const QString printed = parsed.RFC3339String();
        const DateTime again = DateTime::fromRFC3339String(printed);
        fuzz::check(again.isValid(), "printed text parses again", text + QStringLiteral(" -> ") + printed);
        fuzz::check(again.date() == parsed.date(), "the same instant",
                    text + QStringLiteral(" -> ") + printed);
        fuzz::check(again.RFC3339String() == printed, "printing is stable", printed);
        fuzz::check(parsed.hasTime() || parsed.date().time() == QTime(12, 0),
                    "a date-only value stands for noon UTC");
        fuzz::check(DateTime::fromDate(parsed.date()).date() == parsed.date(), "an instant keeps its value",
                    printed);
    }
    return 0;
}
