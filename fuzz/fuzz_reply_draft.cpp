// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// A reply draft built from what a received message carried (sender,
// subject, Message-ID, References) and the model's text: values from the
// message never add header lines, and the body arrives unchanged but for
// its line ends.

#include "FuzzSupport.h"

#include "mail/MimeEncoding.h"
#include "mail/ReplyDraft.h"

#include <fuzzer/FuzzedDataProvider.h>

TARNLIGHT_FUZZ_TARGET

namespace {

QString field(FuzzedDataProvider &input)
{
    return QString::fromStdString(input.ConsumeRandomLengthString(200));
}

bool isBase64UrlText(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-'
              || u == '_'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    EmailMessage original;
    original.from = field(input);
    original.subject = field(input);
    const QString messageID = field(input);
    const QString references = field(input);
    const QString body = QString::fromStdString(input.ConsumeRemainingBytesAsString());

    const QByteArray text = gmail::replyMessageText(original, messageID, references, body);
    const qsizetype end = text.indexOf("\r\n\r\n");
    fuzz::check(end >= 0, "the header block ends in an empty line");
    const QList<QByteArray> physical = text.left(end).split('\n');
    // A long header folds onto lines that start with white space (RFC 5322).
    QList<QByteArray> lines;
    for (const QByteArray &line : physical) {
        fuzz::check(!line.left(line.size() - 1).contains('\r'), "no stray CR in a header");
        if (!lines.isEmpty() && (line.startsWith(' ') || line.startsWith('\t')))
            lines.last() += line;
        else
            lines.append(line);
    }
    const QList<QByteArray> expected = messageID.isEmpty()
                                           ? QList<QByteArray>{"To:", "Subject:", "MIME-Version:",
                                                               "Content-Type:", "Content-Transfer-Encoding:"}
                                           : QList<QByteArray>{"To:",
                                                               "Subject:",
                                                               "In-Reply-To:",
                                                               "References:",
                                                               "MIME-Version:",
                                                               "Content-Type:",
                                                               "Content-Transfer-Encoding:"};
    fuzz::check(lines.size() == expected.size(), "one line per header", QString::fromUtf8(text.left(end)));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        fuzz::check(lines[i].startsWith(expected[i]), "headers in their order", QString::fromUtf8(lines[i]));
    }
    // An 8bit body is the text as it is; a quoted-printable one (a line too long for 8bit) is encoded.
    if (lines.last().startsWith("Content-Transfer-Encoding: 8bit"))
        fuzz::check(text.mid(end + 4) == gmail::withCrLf(body).toUtf8(),
                    "the body follows the empty line unchanged but for CR LF line ends");

    const QString raw = gmail::base64UrlNoPadding(text);
    fuzz::check(isBase64UrlText(raw), "raw is base64url without padding");
    fuzz::check(QByteArray::fromBase64(raw.toLatin1(), QByteArray::Base64UrlEncoding) == text,
                "raw decodes to the message");
    return 0;
}
