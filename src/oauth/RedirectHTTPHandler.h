// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/HTTPServer.h"
#include "core/Error.h"

#include <QObject>
#include <QUrl>

#include <memory>
#include <optional>

namespace oauth {

class AuthorizationSession;

// What the listener needs of the sign-in waiting for its redirect.
class AuthorizationFlow
{
public:
    virtual ~AuthorizationFlow() = default;
    // Offers a received redirect: false when it is not meant for this flow
    // (the flow keeps waiting), true when the flow took it and completes.
    virtual bool resumeFlowWithURL(const QUrl &url) = 0;
    // Is the URL meant for this flow's redirect but not of its request (its
    // state is wrong)? It gets 400 and the flow keeps waiting.
    virtual bool refusesRedirect(const QUrl &) const { return false; }
    // Ends the flow with an error (its callback runs once, later).
    virtual void failFlowWithError(const Error &error) = 0;
};

// Receives the provider's redirect on a loopback HTTP listener and hands it
// to the pending flow, answering the browser with a short page. A redirect
// without the flow's state gets 400 and the flow keeps waiting. Listening
// stops after the first accepted redirect, on cancellation and on
// destruction.
class RedirectHTTPHandler
    : public QObject
    , public HTTPServerDelegate
{
    Q_OBJECT
public:
    static inline const QByteArray CompletionPage =
        "<html><body>Authorization complete.<br> Return to the app.</body></html>";
    static inline const QByteArray InvalidRedirectPage =
        "<html><body>Sign-in error: Not a valid redirect.</body></html>";
    static inline const QByteArray ForeignRedirectPage =
        "<html><body>Sign-in error: This answer does not belong to the sign-in that is waiting."
        "</body></html>";
    static inline const QByteArray NoFlowPage =
        "<html><body>Sign-in error: No sign-in is waiting for this redirect. Cannot process "
        "redirect.</body></html>";

    // With a success URL the browser is sent there (302) after the redirect;
    // without one it gets the completion page.
    explicit RedirectHTTPHandler(std::optional<QUrl> successURL = std::nullopt, QObject *parent = nullptr);
    // Cancels: a pending flow fails with -4.
    ~RedirectHTTPHandler() override;

    // Starts listening on 127.0.0.1 and ::1 (port 0: one the system picks)
    // and returns the redirect base URL, "http://127.0.0.1:PORT/". Any
    // earlier listener is cancelled first.
    std::optional<QUrl> startHTTPListener(Error *error = nullptr, quint16 port = 0);
    // Stops listening and fails the pending flow with -4.
    void cancelHTTPListener();

    // With a page to come, the accepted redirect is answered 303 to /done,
    // so the code leaves the address bar, and the listener stays up to
    // answer /done with the page given to showPage. Without it (the
    // default) the redirect gets the completion page and listening stops.
    void setPageToCome(bool on) { m_pageToCome = on; }
    // The /done page: answers a /done that waits for it, or the first one
    // to come while this handler lives; listening stops once it is served.
    void showPage(const QByteArray &html);

    void setCurrentAuthorizationFlow(std::shared_ptr<AuthorizationFlow> flow);
    // The session returned by presentAuthorizationRequest.
    void setCurrentAuthorizationFlow(std::shared_ptr<AuthorizationSession> session);
    const std::shared_ptr<AuthorizationFlow> &currentAuthorizationFlow() const { return m_flow; }

    bool isListening() const { return m_server && m_server->isListening(); }
    quint16 port() const { return m_server ? m_server->port() : 0; }
    std::optional<QUrl> successURL() const { return m_successURL; }

    void didReceiveRequest(HTTPConnection *connection,
                           const std::shared_ptr<HTTPServerRequest> &request) override;

    // The absolute URL of a request: http, the "Host" header, then the
    // request target with its query exactly as sent.
    static QUrl absoluteURL(const HTTPServerRequest &request);

private:
    void stopListening();
    void answerDone(const std::shared_ptr<HTTPServerRequest> &request);
    static void respondWithPage(HTTPServerRequest &request, const QByteArray &html);

    std::optional<QUrl> m_successURL;
    std::unique_ptr<HTTPServer> m_server;
    std::shared_ptr<AuthorizationFlow> m_flow;
    bool m_pageToCome = false;
    // "/done?" and a random key once the redirect is taken: the page names
    // the account, so only the browser that was sent there gets it.
    QByteArray m_doneTarget;
    std::optional<QByteArray> m_page;
    QList<std::shared_ptr<HTTPServerRequest>> m_waitingForPage;
};

} // namespace oauth
