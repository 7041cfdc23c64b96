// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BrowserStandIn.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>

namespace {

bool isAuthorizationRequest(const QUrl &url)
{
    const QUrlQuery query(url);
    return query.hasQueryItem(QStringLiteral("redirect_uri"))
           && query.hasQueryItem(QStringLiteral("response_type"));
}

QNetworkRequest withoutRedirects(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return request;
}

} // namespace

bool BrowserStandIn::open(const QUrl &url)
{
    m_opened.append(url);
    if (!isAuthorizationRequest(url))
        return true;
    QNetworkReply *reply = m_network.get(withoutRedirects(url));
    QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray location = reply->rawHeader("Location");
        if (status / 100 != 3 || location.isEmpty()) {
            m_failure = QStringLiteral(
                            "the provider answered the authorization request with %1, not a redirect: %2")
                            .arg(status)
                            .arg(QString::fromUtf8(reply->readAll().left(300)));
            return;
        }
        followToListener(location);
    });
    return true;
}

void BrowserStandIn::followToListener(const QByteArray &location)
{
    const QUrl target = QUrl::fromEncoded(location);
    if (!QHostAddress(target.host()).isLoopback()) {
        m_failure = QStringLiteral("the consent redirect leads away from loopback: ")
                    + QString::fromUtf8(location);
        return;
    }
    QNetworkReply *reply = m_network.get(withoutRedirects(target));
    QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            m_failure = QStringLiteral("the app's listener did not take the redirect: ")
                        + reply->errorString();
            return;
        }
        m_delivered = true;
    });
}
