// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mail/EmailMessage.h"

#include <QByteArray>
#include <QString>

// The raw RFC 2822 text of a reply draft and its encoding for the Gmail
// "raw" field.
namespace gmail {

// "Re: " in front unless the subject already starts with "re:" in any case.
QString replySubject(const QString &subject);

// Header lines (To, Subject, the threading lines when messageID is known,
// MIME-Version, Content-Type, Content-Transfer-Encoding), an empty line,
// then the body with CR LF line ends. Non-ASCII names and subjects go as
// RFC 2047 encoded words; addresses stay as they are. A body with a line
// over 998 octets goes as quoted-printable, any other as 8bit.
// Values copied from the received message cannot add header lines: their
// CR and LF characters become spaces.
QByteArray replyMessageText(const EmailMessage &replyingTo, const QString &messageID,
                            const QString &references, const QString &body);

// base64url without padding: never contains "+", "/" or "=".
QString base64UrlNoPadding(const QByteArray &bytes);

} // namespace gmail
