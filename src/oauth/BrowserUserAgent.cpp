// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/BrowserUserAgent.h"

#include "oauth/AuthorizationSession.h"
#include "oauth/OAuthError.h"
#include "support/UrlOpener.h"

namespace oauth {

bool BrowserUserAgent::presentExternalUserAgentRequest(const AuthorizationRequest &request,
                                                       const std::shared_ptr<AuthorizationSession> &session)
{
    m_inProgress = true;
    m_session = session;
    if (support::openUrl(request.externalUserAgentRequestURL()))
        return true;
    m_inProgress = false;
    session->failAuthorizationFlowWithError(
        generalError(BrowserOpenError, std::nullopt, QStringLiteral("Unable to open the browser.")));
    return false;
}

void BrowserUserAgent::dismiss()
{
    m_inProgress = false;
    m_session.reset();
}

} // namespace oauth
