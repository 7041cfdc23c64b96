// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthState.h"
#include "oauth/AuthorizationRequest.h"
#include "support/Completion.h"

#include <memory>

namespace oauth {

class AuthorizationSession;

using AuthStateCallback = Completion<std::shared_ptr<AuthState>>;

// The interactive sign-in: opens the request in the default browser and
// returns its session at once; the caller routes the listener's redirect to
// it (RedirectHTTPHandler::setCurrentAuthorizationFlow). After the redirect
// the code is exchanged for tokens. The callback runs once, later on the
// main thread, with the new auth state or an error.
std::shared_ptr<AuthorizationSession> presentAuthorizationRequest(const AuthorizationRequest &request,
                                                                  AuthStateCallback callback);

} // namespace oauth
