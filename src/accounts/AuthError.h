// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Error.h"

// The errors the account registry and the sign-in flow raise themselves.
enum class AuthError {
    notConfigured,
    discoveryFailed,
    cancelled,
    noSession
};

inline const QString AuthErrorDomain = QStringLiteral("app.tarnlight.auth");

QString authErrorDescription(AuthError error);
// As an Error: domain AuthErrorDomain, code = the case, the fixed description.
Error toError(AuthError error);
// The case an Error stands for, when it is one of ours.
std::optional<AuthError> authErrorCase(const Error &error);
