// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/RestObject.h"
#include "core/Error.h"

#include <QByteArray>

#include <optional>

namespace rest {

// What the fetcher brought back for one query.
struct Answer
{
    QByteArray data;
    std::optional<Error> error;
    int status = 0;
    QByteArray contentType;
};

// The query's object, or its error.
struct Parsed
{
    RestObjectPtr object;
    std::optional<Error> error;
};

// Decodes an answer: its JSON object built as `expected` (or the class its
// kind names), or the error; an error status with a JSON error member
// becomes a structured error. Pure, so it runs on a worker thread.
Parsed parseAnswer(const Answer &answer, const ObjectClass *expected, const ObjectClassResolver &resolver,
                   bool dataWrapperRequired);

} // namespace rest
