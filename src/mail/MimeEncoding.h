// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The pieces of RFC 2047 and MIME a reply draft needs: header values that
// stay ASCII, folded lines, and body line ends and transfer encodings.
namespace gmail {

// "Name: value\r\n". A value with non-ASCII text becomes UTF-8 encoded
// words, folded so no line passes 78 characters; an ASCII value is kept as
// it is. With `mailboxes`, only display names and comments are encoded and
// every address stays as it is.
QByteArray headerLine(const QString &name, const QString &value, bool mailboxes = false);

// UTF-8 "B" encoded words of at most 75 characters, each holding whole
// characters.
QStringList encodedWords(const QString &text);

// Every line end (LF, CR or CR LF) as CR LF.
QString withCrLf(const QString &text);

// Whether a line of the text is longer than SMTP allows (998 octets).
bool hasOverlongLine(const QByteArray &text);

// Quoted-printable (RFC 2045) with CR LF line ends kept as hard breaks.
QByteArray quotedPrintable(const QByteArray &text);

} // namespace gmail
