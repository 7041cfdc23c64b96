// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/AIErrors.h"

namespace ai {

Error unavailableError(const QString &message)
{
    return Error::make(ErrorDomain, ErrorUnavailable, message);
}

Error unreachableError(const Error &transport)
{
    return Error::make(ErrorDomain, ErrorUnreachable,
                       QStringLiteral("The on-device model could not be reached."), transport);
}

Error timedOutError()
{
    return Error::make(ErrorDomain, ErrorTimedOut,
                       QStringLiteral("The on-device model did not answer in time."));
}

Error httpStatusError(int status, const QString &serverMessage)
{
    QString text = QStringLiteral("The on-device model failed (HTTP status %1)").arg(status);
    // A server's own words help, but only a short, single-line excerpt.
    QString detail = serverMessage.simplified().left(200);
    text += detail.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + detail;
    return Error::make(ErrorDomain, ErrorHttpStatus, text).withUserInfo(QStringLiteral("status"), status);
}

Error malformedAnswerError(const QString &what)
{
    return Error::make(ErrorDomain, ErrorMalformedAnswer,
                       QStringLiteral("The on-device model's answer could not be read (%1).").arg(what));
}

Error missingPropertyError(const QString &property)
{
    return Error::make(ErrorDomain, ErrorMissingProperty,
                       QStringLiteral("The on-device model's summary has no \"%1\" text.").arg(property));
}

Error answerTooLargeError()
{
    return Error::make(ErrorDomain, ErrorAnswerTooLarge,
                       QStringLiteral("The on-device model's answer was too large."));
}

} // namespace ai
