// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/AuthError.h"

#include <QCoreApplication>

QString authErrorDescription(AuthError error)
{
    switch (error) {
    case AuthError::notConfigured:
        return QCoreApplication::translate("AuthError",
                                           "No Google OAuth client is configured. Add a Secrets.plist "
                                           "(see Secrets.example.plist).");
    case AuthError::discoveryFailed:
        return QCoreApplication::translate("AuthError", "Could not reach Google's sign-in service.");
    case AuthError::cancelled: return QCoreApplication::translate("AuthError", "Sign-in was cancelled.");
    case AuthError::noSession:
        return QCoreApplication::translate("AuthError", "No saved session for this account. Sign in again.");
    }
    return {};
}

Error toError(AuthError error)
{
    return Error::make(AuthErrorDomain, int(error), authErrorDescription(error));
}

std::optional<AuthError> authErrorCase(const Error &error)
{
    if (error.domain() != AuthErrorDomain || error.code() < 0 || error.code() > int(AuthError::noSession))
        return std::nullopt;
    return AuthError(error.code());
}
