// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The loopback listener's request reader, with the bytes split at points the
// input chooses. Whatever the split, the reader must see the same requests
// as when everything arrives at once.

#include "FuzzSupport.h"

#include "oauth/HTTPConnection.h"
#include "oauth/HTTPServerRequest.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace oauth;

TARNLIGHT_FUZZ_TARGET

namespace {

QString describe(const http::ParseResult &result)
{
    if (result.kind == http::ParseResult::Invalid)
        return QStringLiteral("invalid %1").arg(result.rejectStatus);
    const HTTPServerRequest &r = result.request;
    QByteArray headers;
    for (const auto &[name, value] : r.headers())
        headers += name + ':' + value + '\n';
    return QString::fromLatin1((r.method() + ' ' + r.target() + ' ' + r.version() + '\n' + headers
                                + QByteArray::number(r.body().size()) + ':' + r.body().toHex())
                                   .left(4000));
}

// Takes every request the reader has; stops after a rejection.
bool drain(http::RequestReader &reader, QStringList &seen)
{
    for (;;) {
        const http::ParseResult result = reader.take();
        if (result.kind == http::ParseResult::Incomplete)
            return true;
        seen.append(describe(result));
        if (result.kind == http::ParseResult::Invalid)
            return false;
        fuzz::check(result.request.body().size() <= http::MaxBodyBytes, "body within the cap");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    QList<int> pieces;
    const int splits = input.ConsumeIntegralInRange<int>(0, 12);
    for (int i = 0; i < splits; ++i)
        pieces.append(input.ConsumeIntegralInRange<int>(1, 512));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray stream(rest.data(), qsizetype(rest.size()));

    http::RequestReader whole;
    whole.append(stream);
    QStringList atOnce;
    drain(whole, atOnce);

    http::RequestReader split;
    QStringList inPieces;
    qsizetype at = 0;
    for (int i = 0; at < stream.size(); ++i) {
        const qsizetype length = pieces.isEmpty() ? 1 : pieces[i % pieces.size()];
        split.append(QByteArrayView(stream).sliced(at, std::min(length, stream.size() - at)));
        at += length;
        if (!drain(split, inPieces))
            break;
    }
    fuzz::check(atOnce == inPieces, "the same requests whatever the split",
                atOnce.join(QStringLiteral("\n---\n")) + QStringLiteral("\n=== split ===\n")
                    + inPieces.join(QStringLiteral("\n---\n")));
    fuzz::check(whole.buffered() == split.buffered(), "the same bytes left over");
    return 0;
}
