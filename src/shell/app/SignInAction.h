// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/GoogleAuthService.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

// One view's way of starting sign-ins: it runs the registry's addAccount()
// and keeps, for that view only, whether one is running and how the last one
// failed. Each view that offers sign-in has its own.
class SignInAction : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(GoogleAuthService *auth READ auth WRITE setAuth NOTIFY authChanged)
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)
    // The failure of the last sign-in started here; empty when there is none.
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    // Whether an OAuth client is configured, so that sign-in can work at all.
    Q_PROPERTY(bool clientConfigured READ clientConfigured CONSTANT)

public:
    explicit SignInAction(QObject *parent = nullptr);

    GoogleAuthService *auth() const { return m_auth; }
    void setAuth(GoogleAuthService *auth);
    bool running() const { return m_running; }
    QString errorText() const { return m_errorText; }
    static bool clientConfigured();

    // Clears the last failure and starts a sign-in, even while another one
    // runs; the views decide whether to allow that.
    Q_INVOKABLE void start();

signals:
    void authChanged();
    void runningChanged();
    void errorTextChanged();
    // A sign-in started here ended; `errorText` tells how.
    void finished();

private:
    QCoro::Task<void> run(QPointer<GoogleAuthService> auth);
    void setRunning(bool running);
    void setErrorText(const QString &text);

    QPointer<GoogleAuthService> m_auth;
    int m_inFlight = 0;
    bool m_running = false;
    QString m_errorText;
};
