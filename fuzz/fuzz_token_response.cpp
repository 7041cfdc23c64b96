// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The token endpoint's answer: a 200 body read as a token response (with the
// ID-token checks a code exchange applies), and any other status read as the
// provider's OAuth error.

#include "FuzzSupport.h"

#include "oauth/AuthorizationService.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace oauth;

TARNLIGHT_FUZZ_TARGET

namespace {

TokenRequest exchangeRequest()
{
    TokenRequest request;
    request.configuration.issuer = QUrl(QStringLiteral("https://accounts.example"));
    request.configuration.tokenEndpoint = QUrl(QStringLiteral("https://accounts.example/token"));
    request.grantType = QStringLiteral("authorization_code");
    request.authorizationCode = QStringLiteral("code");
    request.redirectURL = QUrl(QStringLiteral("http://127.0.0.1:4711/"));
    request.clientID = QStringLiteral("client.apps.example");
    return request;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int status = input.ConsumeIntegralInRange<int>(100, 599);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray body = QByteArray::fromStdString(rest);
    static const TokenRequest request = exchangeRequest();

    const auto parsed = parseTokenResponse(request, body);
    if (const auto *response = std::get_if<TokenResponse>(&parsed)) {
        (void)response->description();
        AuthorizationResponse original;
        original.request.nonce = QStringLiteral("nonce");
        if (const auto error = validateIDToken(*response, original))
            (void)error->description();
    } else {
        (void)std::get<Error>(parsed).description();
    }
    (void)tokenRequestFailure(request, status, body).description();
    return 0;
}
