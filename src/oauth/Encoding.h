// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Small encoders the OAuth messages are built from.
namespace oauth {

// Standard base64 with "+" -> "-", "/" -> "_" and no "=" padding.
QString base64UrlNoPadding(const QByteArray &bytes);

// Decodes base64url text that may lack its padding; nullopt when not base64.
std::optional<QByteArray> decodeBase64Url(const QString &text);

// `byteCount` bytes from the system's secure random source, base64url
// encoded; nullopt when the source fails.
std::optional<QString> randomBase64Url(int byteCount = 32);

// Percent-encodes with the URL-query character set minus "=", "&" and "+":
// a space becomes %20, "+" becomes %2B, ":" and "/" stay literal.
QString encodeQueryPart(const QString &text);

// Form encoding of client credentials: keeps ASCII letters, digits and
// "*-._", turns a space into "+" and percent-encodes everything else.
QString formEncode(const QString &text);

} // namespace oauth
