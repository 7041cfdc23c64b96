// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Prepares a mail body for the on-device model: keeps what the sender wrote
// in this message and drops quoted replies, the "On … wrote:" tail, the
// signature and forwarded history, then caps the length.
struct EmailText
{
    static constexpr int DefaultMaxCharacters = 4000;

    // Pure and thread-safe; the model's background work calls it.
    // maxCharacters counts user-perceived characters; a longer result is cut
    // and ends with "…".
    static QString sanitized(const QString &text, int maxCharacters = DefaultMaxCharacters);
};
