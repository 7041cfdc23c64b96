// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The readable text of a message payload: a MIME part tree as JSON, body
// data as base64url, or arbitrary decoded bytes in a text or HTML part.

#include "FuzzSupport.h"

#include "mail/GmailMessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fuzzer/FuzzedDataProvider.h>

TARNLIGHT_FUZZ_TARGET

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int shape = input.ConsumeIntegralInRange<int>(0, 2);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes = QByteArray::fromStdString(rest);
    switch (shape) {
    case 0: (void)gmail::extractText(QJsonDocument::fromJson(bytes).object()); break;
    case 1: (void)gmail::decodeBodyData(QString::fromUtf8(bytes)); break;
    default: {
        // Decoded content the fuzzer controls directly, in a nested tree.
        const QString encoded = QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding));
        const QJsonObject html{{"mimeType", "text/html"}, {"body", QJsonObject{{"data", encoded}}}};
        const QJsonObject tree{{"mimeType", "multipart/alternative"},
                               {"parts", QJsonArray{QJsonObject{{"mimeType", "multipart/related"},
                                                                {"parts", QJsonArray{html}}}}}};
        (void)gmail::extractText(tree);
    }
    }
    return 0;
}
