// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The structured error body of a failed REST call, with the status and
// content type the server chose.

#include "FuzzSupport.h"

#include "rest/AnswerParsing.h"
#include "rest/HTTPFetcher.h"
#include "rest/Resources.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace rest;

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int status = input.ConsumeIntegralInRange<int>(300, 599);
    const QByteArray contentType = input.ConsumeBool() ? "application/json; charset=UTF-8"
                                                       : "text/html; charset=UTF-8";
    const std::string body = input.ConsumeRemainingBytesAsString();
    const Error statusError(StatusErrorDomain, status);
    const Answer answer{QByteArray::fromStdString(body), statusError, status, contentType};
    const Parsed parsed = parseAnswer(answer, ObjectClass::of<RestObject>(), {}, false);
    fuzz::check(parsed.error.has_value() && !parsed.object, "a failed call reports an error only");
    (void)parsed.error->description();
    const QVariant structured = parsed.error->userInfo().value(QStringLiteral("StructuredError"));
    (void)structured.isValid();
    return 0;
}
