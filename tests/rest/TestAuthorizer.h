// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/Authorizer.h"

#include <QTimer>

// An authorizer that hands out "Bearer token-N" (N counts authorizations),
// or fails; its refresh answer is set by the test.
class TestAuthorizer : public rest::Authorizer
{
public:
    std::optional<Error> failure;
    bool refreshPossible = true;
    int authorizations = 0;
    int primes = 0;

    bool isAuthorizedRequest(const rest::HttpRequest &request) const override
    {
        return request.hasHeader("Authorization");
    }
    void authorizeRequest(const rest::HttpRequest &request, AuthorizeCompletion completion) override
    {
        const int n = ++authorizations;
        rest::HttpRequest copy = request;
        const auto error = failure;
        QTimer::singleShot(0, [copy, completion, error, n]() mutable {
            if (!error)
                copy.setHeader("Authorization", "Bearer token-" + QByteArray::number(n));
            completion(copy, error);
        });
    }
    bool offersPrimeForRefresh() const override { return true; }
    bool primeForRefresh() override
    {
        ++primes;
        return refreshPossible;
    }
};
