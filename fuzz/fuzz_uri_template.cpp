// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// URI templates and their values, the query text of parameter maps, and
// escaping: the input is a template, a NUL, then the values as JSON.

#include "FuzzSupport.h"

#include "rest/URITemplate.h"

#include <QJsonDocument>
#include <QJsonObject>

TARNLIGHT_FUZZ_TARGET

namespace {

bool isPlainASCII(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using rest::URITemplate;
    const QByteArray input = fuzz::bytes(data, size);
    const qsizetype split = input.indexOf('\0');
    const QString pattern = QString::fromUtf8(split < 0 ? input : input.left(split));
    const QJsonObject values = split < 0 ? QJsonObject()
                                         : QJsonDocument::fromJson(input.mid(split + 1)).object();

    QString failure;
    if (const auto expanded = URITemplate::expand(pattern, values, &failure))
        (void)expanded->size();
    else
        fuzz::check(!failure.isEmpty(), "a failed expansion says why");
    failure.clear();
    if (const auto query = URITemplate::queryText(values, &failure))
        fuzz::check(isPlainASCII(*query), "query text is escaped", *query);
    fuzz::check(isPlainASCII(URITemplate::escape(pattern, false)), "escaped text is plain ASCII");
    fuzz::check(isPlainASCII(URITemplate::escape(pattern, true)), "escaped text is plain ASCII");
    return 0;
}
