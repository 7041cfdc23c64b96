// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Error.h"

// Errors of the on-device model. Their descriptions are shown to the user
// as they are, so they say what went wrong in plain words.
namespace ai {

inline const QString ErrorDomain = QStringLiteral("app.tarnlight.ai");

enum ErrorCode {
    ErrorUnavailable = 1,     // turned off, or an endpoint we refuse to use
    ErrorUnreachable = 2,     // no connection to the model server
    ErrorTimedOut = 3,        // no complete answer in time
    ErrorHttpStatus = 4,      // the server answered with an error status
    ErrorMalformedAnswer = 5, // an answer we cannot read
    ErrorMissingProperty = 6, // a generated summary lacks a property
    ErrorAnswerTooLarge = 7,  // an answer beyond any sensible size
};

Error unavailableError(const QString &message);
Error unreachableError(const Error &transport);
Error timedOutError();
Error httpStatusError(int status, const QString &serverMessage);
Error malformedAnswerError(const QString &what);
Error missingPropertyError(const QString &property);
Error answerTooLargeError();

} // namespace ai
