// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// What the local model server answers: the model list, a chat completion
// with its status, and the guided summary inside it.

#include "FuzzSupport.h"

#include "ai/ChatProtocol.h"
#include "ai/EmailSummary.h"

#include <fuzzer/FuzzedDataProvider.h>

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int status = input.ConsumeBool() ? 200 : input.ConsumeIntegralInRange<int>(100, 599);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const ai::ModelReply reply{status, QByteArray::fromStdString(rest)};

    (void)ai::findModel(reply.body, QStringLiteral("llama3.2"));
    try {
        (void)ai::answerText(reply);
        const EmailSummary summary = EmailSummary::fromGeneratedContent(ai::answerObject(reply));
        (void)summary.hasActionItem();
        (void)summary.toGeneratedContent();
    } catch (const Error &error) {
        fuzz::check(!error.description().isEmpty(), "a failure says what went wrong");
    }
    return 0;
}
