// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The redirect the browser brings to the loopback listener: the request
// target and Host header made a URL, matched against the redirect URL and
// read as an authorization response or error.

#include "FuzzSupport.h"

#include "oauth/AuthorizationSession.h"
#include "oauth/HTTPConnection.h"
#include "oauth/HTTPServerRequest.h"
#include "oauth/RedirectHTTPHandler.h"
#include "oauth/URLQueryComponent.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace oauth;

TARNLIGHT_FUZZ_TARGET

namespace {

const AuthorizationRequest &pendingRequest()
{
    static const AuthorizationRequest request = [] {
        AuthorizationRequest r;
        r.clientID = QStringLiteral("client.apps.example");
        r.redirectURL = QUrl(QStringLiteral("http://127.0.0.1:4711/"));
        r.state = QStringLiteral("s+t/=");
        r.scope = QStringLiteral("openid email");
        return r;
    }();
    return request;
}

// Names and values survive being written out and read back.
void checkQueryRoundTrip(const QUrl &url)
{
    const URLQueryComponent read(url);
    URLQueryComponent written;
    const auto dictionary = read.dictionary();
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        for (const QString &value : it.value())
            written.addParameter(it.key(), value);
    }
    const QUrl again = written.urlByReplacingQueryInURL(QUrl(QStringLiteral("http://127.0.0.1/")));
    fuzz::check(URLQueryComponent(again).dictionary() == dictionary, "a query reads back as written",
                again.toString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string host = input.ConsumeRandomLengthString(64);
    const std::string target = input.ConsumeRemainingBytesAsString();
    const HTTPServerRequest request("GET", QByteArray::fromStdString(target), "HTTP/1.1",
                                    {{"Host", QByteArray::fromStdString(host)}}, {});
    const QUrl url = RedirectHTTPHandler::absoluteURL(request);
    (void)matchesRedirectURL(url, pendingRequest().redirectURL);
    const auto outcome = checkRedirect(pendingRequest(), url);
    if (const auto *response = std::get_if<AuthorizationResponse>(&outcome)) {
        fuzz::check(response->state == pendingRequest().state, "an accepted redirect carries our state");
        (void)response->description();
    } else {
        (void)std::get<Error>(outcome).description();
    }
    checkQueryRoundTrip(url);
    return 0;
}
