// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthorizationResponse.h"
#include "support/Completion.h"

#include <functional>
#include <memory>
#include <variant>

namespace oauth {

// Waits for the one redirect that answers an authorization request, checks
// it, and reports a response or an error exactly once, later on the event
// loop. The loopback listener offers each received URL to resumeFlowWithURL.
class AuthorizationSession
{
public:
    using Callback = Completion<AuthorizationResponse>;

    AuthorizationSession(AuthorizationRequest request, Callback callback);

    const AuthorizationRequest &request() const { return m_request; }
    bool isFinished() const { return m_finished; }

    // Runs when the session finishes, before the callback (the browser
    // agent's dismissal).
    void setDismissHandler(std::function<void()> dismiss) { m_dismiss = std::move(dismiss); }

    // False when the URL is not this request's redirect or lacks its state
    // (the session keeps waiting); true when it was taken, whatever its
    // outcome.
    bool resumeFlowWithURL(const QUrl &url);
    // Is the URL addressed to this waiting session's redirect but without
    // its state? Such a request is refused and the session keeps waiting.
    bool refusesRedirect(const QUrl &url) const;

    // Ends the flow with an error (listener cancelled, browser failed).
    void failAuthorizationFlowWithError(const Error &error);
    // The user gave up: general -3 "Authorization flow was cancelled.".
    void cancel();

private:
    void finish(std::optional<AuthorizationResponse> response, std::optional<Error> error);

    AuthorizationRequest m_request;
    Callback m_callback;
    std::function<void()> m_dismiss;
    bool m_finished = false;
};

// Does `received` address `redirect` (scheme ignoring case, user, password,
// host, port and path equal after normalising; the query is not compared)?
bool matchesRedirectURL(const QUrl &received, const QUrl &redirect);

// Does the redirect carry exactly the request's state (one value, compared
// in constant time)?
bool stateMatches(const AuthorizationRequest &request, const QUrl &url);

// The result of a redirect for `request`: a response, or the OAuth error or
// state mismatch it carries.
std::variant<AuthorizationResponse, Error> checkRedirect(const AuthorizationRequest &request,
                                                         const QUrl &url);

} // namespace oauth
