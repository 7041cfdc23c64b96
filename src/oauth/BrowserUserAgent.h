// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthorizationRequest.h"

#include <memory>

namespace oauth {

class AuthorizationSession;

// Hands the authorization URL to the user's default browser (through the
// process's URL opener). There is no window of ours to close afterwards.
class BrowserUserAgent
{
public:
    // Opens the request's URL. When the system refuses, the session fails
    // with -10 "Unable to open the browser." and false is returned.
    bool presentExternalUserAgentRequest(const AuthorizationRequest &request,
                                         const std::shared_ptr<AuthorizationSession> &session);
    // Ends the presentation; the browser page itself stays with the user.
    void dismiss();

    bool isInProgress() const { return m_inProgress; }

private:
    bool m_inProgress = false;
    std::weak_ptr<AuthorizationSession> m_session;
};

} // namespace oauth
