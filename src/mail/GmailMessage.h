// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mail/EmailMessage.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// Reading Gmail message resources: header lookup, the Date header, the
// mapping to EmailMessage and the readable text of a MIME payload. Missing
// or malformed pieces never fail; they fall back as the mail tab expects.
namespace gmail {

// The value of the first payload header whose name matches ignoring case;
// empty when there is none (or it has no value).
QString headerValue(const QJsonObject &message, const QString &name);

// An RFC 2822 Date header ("Tue, 3 Jun 2025 10:15:00 +0200", a trailing
// "(CEST)" comment allowed), also in the obsolete forms of RFC 5322: a two-
// or three-digit year, the zones UT, GMT and the US names, a military letter
// (taken as +0000). The weekday is required; anything else is none.
Timestamp parseDate(const QString &value);

// Gmail hands out snippets HTML-escaped ("let&#39;s"): the text with its
// character references (numeric ones and amp, lt, gt, quot, apos) replaced by
// the characters they stand for; anything else stays as written.
QString decodeCharacterReferences(const QString &snippet);

// The message's snippet comes out decoded.
EmailMessage emailMessageFromJson(const QJsonObject &message);

// base64url body data to text: none when it is not base64 or not UTF-8.
std::optional<QString> decodeBodyData(const QString &data);

// The first text/plain part (depth first), else an HTML part with its tags
// blanked out; none when no part decodes.
std::optional<QString> extractText(const QJsonObject &part);

// The message text for the summary: the payload's text, else the snippet.
QString bodyTextOf(const QJsonObject &message);

// Gmail may send a text part without "data", naming an "attachmentId" to
// fetch it by instead (large bodies). The attachmentId of the part
// extractText() would read next when it is such a part; none when the text
// at hand is complete.
std::optional<QString> pendingTextAttachment(const QJsonObject &payload);

// The payload with base64url `data` set on the part whose body names `attachmentId`.
QJsonObject withBodyData(const QJsonObject &part, const QString &attachmentId, const QString &data);

} // namespace gmail
