// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading a message as the provider stores it: header values with their
// RFC 2047 encoded words decoded, a body without its transfer encoding, and
// what in the text breaks RFC 5322 and MIME.
namespace mime {

// Encoded words (B and Q, any charset Qt knows) decoded, white space between
// two adjacent ones dropped; the rest read as UTF-8.
QString decodeHeaderValue(const QByteArray &value);

// The body as its Content-Transfer-Encoding gives it: base64 and
// quoted-printable decoded, anything else as it is.
QByteArray decodeBody(const QByteArray &body, const QString &transferEncoding);

// Faults of the raw text: 8-bit bytes in the header, a bare CR or LF, a line
// longer than 998 octets, an 8-bit body declared as 7bit (or not at all).
QStringList problems(const QByteArray &raw);

} // namespace mime
