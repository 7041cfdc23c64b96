// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/HttpsTransport.h"

#include <functional>
#include <optional>

namespace rest {

// What the fetcher asks of whoever adds credentials to its requests.
class Authorizer
{
public:
    virtual ~Authorizer() = default;

    // Does the request already carry credentials?
    virtual bool isAuthorizedRequest(const HttpRequest &request) const = 0;

    // Adds credentials to a copy of the request and calls back exactly once,
    // later on the event loop, with the authorized copy or an error.
    using AuthorizeCompletion = std::function<void(HttpRequest, std::optional<Error>)>;
    virtual void authorizeRequest(const HttpRequest &request, AuthorizeCompletion completion) = 0;

    // Optional: force the next authorization to refresh. Returns whether a
    // refresh is possible; an authorizer that does not offer it says false.
    virtual bool offersPrimeForRefresh() const { return false; }
    virtual bool primeForRefresh() { return false; }
};

} // namespace rest
