// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QUrl>

// Where the provider lives: the OpenID issuer, the general API root, the Gmail
// API root and the Gmail web origin. The defaults are Google's production
// hosts; TARNLIGHT_PROVIDER=http://127.0.0.1:PORT points all four at one
// loopback origin (the sandbox provider). Only such a loopback origin may be
// plain http.
struct Provider
{
    QUrl issuer;         // e.g. https://accounts.google.com
    QUrl apiRoot;        // e.g. https://www.googleapis.com/
    QUrl gmailRoot;      // e.g. https://gmail.googleapis.com/
    QUrl gmailWebOrigin; // e.g. https://mail.google.com

    static Provider production();
    // A provider at one loopback origin; an origin that is not http(s) on a
    // loopback host gives nullopt.
    static std::optional<Provider> loopback(const QUrl &origin);
    // The provider of this process: TARNLIGHT_PROVIDER when it names a
    // loopback origin, otherwise production. Read once per process.
    static const Provider &current();

    // True when every endpoint is the loopback sandbox, so plain http to the
    // local machine is allowed.
    bool isLoopback() const;

    // The secure origin that API scope URIs are built on (always Google's API
    // host: scopes are identifiers, not addresses).
    static QString scopeOrigin() { return QStringLiteral("https://www.googleapis.com"); }

    friend bool operator==(const Provider &, const Provider &) = default;
};

// True for localhost, 127.0.0.0/8 and ::1.
bool isLoopbackHost(const QString &host);
