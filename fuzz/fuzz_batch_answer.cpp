// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A batch answer: the multipart Content-Type the server named and its body.

#include "FuzzSupport.h"

#include "rest/BatchFormat.h"

#include <fuzzer/FuzzedDataProvider.h>

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QByteArray contentType = QByteArray::fromStdString(input.ConsumeRandomLengthString(200));
    const QByteArray body = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
    QString failure;
    const auto parts = rest::parseBatchAnswer(contentType, body, &failure);
    fuzz::check(parts.has_value() || !failure.isEmpty(), "a refused answer says why");
    for (const rest::BatchAnswerPart &part : parts.value_or(QList<rest::BatchAnswerPart>())) {
        fuzz::check(part.status >= 100 && part.status <= 599, "every part has a status");
        fuzz::check(!part.contentID.isEmpty(), "every part names its call");
        fuzz::check(part.body.size() <= body.size(), "a part lies within the answer");
    }
    return 0;
}
