// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

// The default browser of a headless run. An authorization URL is followed
// as a browser would: to the provider, whose consent answers with a redirect,
// and on to the app's loopback listener. Every other URL (a thread, an event,
// a file) is only noted.
class BrowserStandIn
{
public:
    // The URL opener the app calls; accepts every URL.
    bool open(const QUrl &url);

    const QList<QUrl> &opened() const { return m_opened; }
    // The loopback listener answered the redirect.
    bool redirectDelivered() const { return m_delivered; }
    // Why following an authorization URL went wrong; empty when it did not.
    const QString &failure() const { return m_failure; }

private:
    void followToListener(const QByteArray &location);

    QNetworkAccessManager m_network;
    QList<QUrl> m_opened;
    bool m_delivered = false;
    QString m_failure;
};
