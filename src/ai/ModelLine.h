// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// A line the model wrote from untrusted mail is shown only when it is short
// plain text: a link or markup in it may be planted by a sender who wants
// the reader to click or to see something the mail did not say.
namespace ai {

enum class LineFault {
    Link,
    Markup,
    TooLong,
};

// What makes the line unfit to show, if anything. maxCharacters counts
// code points of the simplified line.
std::optional<LineFault> lineFault(const QString &line, int maxCharacters);

// The line with its white space runs (newlines too) made single spaces.
QString plainLine(const QString &line);

} // namespace ai
