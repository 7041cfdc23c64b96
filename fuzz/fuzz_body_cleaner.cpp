// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The body cleaner that runs before any mail text reaches the model.

#include "FuzzSupport.h"

#include "ai/EmailText.h"

#include <QTextBoundaryFinder>

#include <fuzzer/FuzzedDataProvider.h>

TARNLIGHT_FUZZ_TARGET

namespace {

int clusters(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int cap = input.ConsumeIntegralInRange<int>(-1, 300);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));
    const QString cleaned = EmailText::sanitized(text, cap);
    fuzz::check(clusters(cleaned) <= qMax(0, cap) + 1, "the cap holds (plus the ellipsis)",
                QString::number(cap) + QStringLiteral(": ") + cleaned);
    (void)EmailText::sanitized(text);
    return 0;
}
