// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/RedirectHTTPHandler.h"

#include "oauth/AuthorizationSession.h"
#include "oauth/OAuthError.h"

#include <QRandomGenerator>

namespace oauth {

namespace {

class SessionFlow : public AuthorizationFlow
{
public:
    explicit SessionFlow(std::shared_ptr<AuthorizationSession> session) : m_session(std::move(session)) {}
    bool resumeFlowWithURL(const QUrl &url) override { return m_session->resumeFlowWithURL(url); }
    bool refusesRedirect(const QUrl &url) const override { return m_session->refusesRedirect(url); }
    void failFlowWithError(const Error &error) override { m_session->failAuthorizationFlowWithError(error); }

private:
    std::shared_ptr<AuthorizationSession> m_session;
};

} // namespace

RedirectHTTPHandler::RedirectHTTPHandler(std::optional<QUrl> successURL, QObject *parent)
    : QObject(parent), m_successURL(std::move(successURL))
{}

RedirectHTTPHandler::~RedirectHTTPHandler()
{
    cancelHTTPListener();
    // Answers already given still reach the browser (see ~HTTPServer).
    m_server.reset();
}

std::optional<QUrl> RedirectHTTPHandler::startHTTPListener(Error *error, quint16 port)
{
    cancelHTTPListener();
    m_server = std::make_unique<HTTPServer>();
    m_server->setDelegate(this, this);
    m_server->setPort(port);
    if (!m_server->start(error)) {
        m_server.reset();
        return std::nullopt;
    }
    const QString format = m_server->listensOnIPv4() ? QStringLiteral("http://127.0.0.1:%1/")
                                                     : QStringLiteral("http://[::1]:%1/");
    return QUrl(format.arg(m_server->port()));
}

void RedirectHTTPHandler::stopListening()
{
    // Open connections stay: the browser's answer is written on one, and a
    // late request on another still gets its page.
    if (m_server)
        m_server->stop();
}

void RedirectHTTPHandler::cancelHTTPListener()
{
    stopListening();
    if (auto flow = std::exchange(m_flow, nullptr)) {
        flow->failFlowWithError(
            generalError(ProgramCanceledAuthorizationFlow, std::nullopt,
                         QStringLiteral("The HTTP listener was cancelled programmatically.")));
    }
}

void RedirectHTTPHandler::setCurrentAuthorizationFlow(std::shared_ptr<AuthorizationFlow> flow)
{
    m_flow = std::move(flow);
}

void RedirectHTTPHandler::setCurrentAuthorizationFlow(std::shared_ptr<AuthorizationSession> session)
{
    setCurrentAuthorizationFlow(session ? std::make_shared<SessionFlow>(std::move(session)) : nullptr);
}

QUrl RedirectHTTPHandler::absoluteURL(const HTTPServerRequest &request)
{
    const QByteArray target = request.target();
    if (!target.startsWith('/'))
        return QUrl::fromEncoded(target, QUrl::StrictMode);
    return QUrl::fromEncoded("http://" + request.header("Host") + target, QUrl::StrictMode);
}

void RedirectHTTPHandler::respondWithPage(HTTPServerRequest &request, const QByteArray &html)
{
    HTTPServerResponse response;
    response.statusCode = 200;
    // The page is ours alone: nothing it shows may load anything.
    response.headers = {
        {"Content-Type", "text/html; charset=utf-8"},
        {"Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'; img-src data:"},
        {"Cache-Control", "no-store"},
        {"Content-Length", QByteArray::number(qulonglong(html.size()))}};
    response.body = html;
    request.respond(std::move(response));
}

void RedirectHTTPHandler::answerDone(const std::shared_ptr<HTTPServerRequest> &request)
{
    if (!m_page) {
        m_waitingForPage.append(request);
        return;
    }
    respondWithPage(*request, *m_page);
    // The one browser that was sent here has its page.
    stopListening();
}

void RedirectHTTPHandler::showPage(const QByteArray &html)
{
    m_page = html;
    const auto waiting = std::exchange(m_waitingForPage, {});
    for (const auto &request : waiting)
        respondWithPage(*request, html);
    if (!waiting.isEmpty())
        stopListening();
}

void RedirectHTTPHandler::didReceiveRequest(HTTPConnection *,
                                            const std::shared_ptr<HTTPServerRequest> &request)
{
    if (!m_doneTarget.isEmpty() && request->target() == m_doneTarget) {
        answerDone(request);
        return;
    }
    if (!m_flow) {
        request->respond(400, NoFlowPage);
        return;
    }
    const QUrl url = absoluteURL(*request);
    // The flow may end this handler's sign-in from inside the call; keep it.
    const std::shared_ptr<AuthorizationFlow> flow = m_flow;
    if (url.isValid() && flow->refusesRedirect(url)) {
        request->respond(400, ForeignRedirectPage);
        return;
    }
    if (!url.isValid() || !flow->resumeFlowWithURL(url)) {
        request->respond(404, InvalidRedirectPage);
        return;
    }
    if (m_flow == flow)
        m_flow.reset();
    if (m_pageToCome) {
        quint64 key[2];
        QRandomGenerator::system()->fillRange(key);
        m_doneTarget = "/done?" + QByteArray(reinterpret_cast<const char *>(key), sizeof key).toHex();
        HTTPServerResponse response;
        response.statusCode = 303;
        response.headers = {{"Location", url.resolved(QUrl::fromEncoded(m_doneTarget)).toEncoded()},
                            {"Content-Length", "0"}};
        request->respond(std::move(response));
        return;
    }
    stopListening();
    if (m_successURL) {
        HTTPServerResponse response;
        response.statusCode = 302;
        response.headers = {{"Location", m_successURL->toEncoded()},
                            {"Content-Length", QByteArray::number(qulonglong(CompletionPage.size()))}};
        response.body = CompletionPage;
        request->respond(std::move(response));
        return;
    }
    request->respond(200, CompletionPage);
}

} // namespace oauth
