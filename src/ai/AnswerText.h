// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// Reading what local models actually write: many wrap the JSON they were
// asked for in a Markdown fence, put a reasoning block or a line of prose
// before it, or leave the answer text out of "content" altogether.
namespace ai {

// The text without its reasoning blocks (<think>, <thinking>, <reasoning>);
// a closing tag without an opening one ends a block that began the text.
QString withoutReasoning(const QString &text);

// The first complete JSON object of the text, fence markers and prose around
// it ignored; none when there is none. Bounded work on any input.
std::optional<QJsonObject> firstJsonObject(const QString &text);

} // namespace ai
