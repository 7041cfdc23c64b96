// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A Gmail message resource, from the answer's bytes to the record the mail
// tab lists and the text the summary reads.

#include "FuzzSupport.h"

#include "mail/GmailMessage.h"
#include "rest/AnswerParsing.h"
#include "rest/Resources.h"

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace rest;
    const Answer answer{fuzz::bytes(data, size), std::nullopt, 200, "application/json"};
    const Parsed parsed = parseAnswer(answer, ObjectClass::of<GmailMessageResource>(), {}, false);
    if (!parsed.object)
        return 0;
    const QJsonObject json = parsed.object->JSON();
    const EmailMessage message = gmail::emailMessageFromJson(json);
    (void)message.fromDisplay();
    (void)message.relativeDate();
    (void)gmail::headerValue(json, QStringLiteral("Message-ID"));
    (void)gmail::bodyTextOf(json);
    return 0;
}
