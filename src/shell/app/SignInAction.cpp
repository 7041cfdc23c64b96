// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/SignInAction.h"

#include "accounts/GoogleAuthService.h"
#include "accounts/OAuthConfig.h"
#include "core/Error.h"

SignInAction::SignInAction(QObject *parent) : QObject(parent) {}

void SignInAction::setAuth(GoogleAuthService *auth)
{
    if (auth == m_auth)
        return;
    m_auth = auth;
    emit authChanged();
}

bool SignInAction::clientConfigured()
{
    return OAuthConfig::current().has_value();
}

void SignInAction::start()
{
    if (!m_auth)
        return;
    setErrorText({});
    ++m_inFlight;
    setRunning(true);
    run(m_auth);
}

QCoro::Task<void> SignInAction::run(QPointer<GoogleAuthService> auth)
{
    QPointer<SignInAction> self(this);
    QString failure;
    try {
        co_await auth->addAccount();
    } catch (const Error &error) {
        failure = error.description();
    }
    // The view may be gone by now (the popover's body switched away).
    if (!self)
        co_return;
    if (!failure.isEmpty())
        setErrorText(failure);
    setRunning(--m_inFlight > 0);
    emit finished();
}

void SignInAction::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    emit runningChanged();
}

void SignInAction::setErrorText(const QString &text)
{
    if (text == m_errorText)
        return;
    m_errorText = text;
    emit errorTextChanged();
}
