// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/Authorizer.h"

#include <QTimer>

// Adds a fixed bearer token, as a signed-in account's session would; the
// service clients' tests use it with tokens minted by the sandbox.
class BearerAuthorizer : public rest::Authorizer
{
public:
    explicit BearerAuthorizer(QByteArray token) : m_token(std::move(token)) {}

    bool isAuthorizedRequest(const rest::HttpRequest &request) const override
    {
        return request.hasHeader("Authorization");
    }

    void authorizeRequest(const rest::HttpRequest &request, AuthorizeCompletion completion) override
    {
        rest::HttpRequest authorized = request;
        authorized.setHeader("Authorization", "Bearer " + m_token);
        QTimer::singleShot(0, [authorized, completion] { completion(authorized, std::nullopt); });
    }

private:
    QByteArray m_token;
};
