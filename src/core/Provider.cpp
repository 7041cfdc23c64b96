// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Provider.h"

#include <QHostAddress>

Provider Provider::production()
{
    return {QUrl(QStringLiteral("https://accounts.google.com")),
            QUrl(QStringLiteral("https://www.googleapis.com/")),
            QUrl(QStringLiteral("https://gmail.googleapis.com/")),
            QUrl(QStringLiteral("https://mail.google.com"))};
}

std::optional<Provider> Provider::loopback(const QUrl &origin)
{
    const QString scheme = origin.scheme();
    if (!origin.isValid() || (scheme != u"http" && scheme != u"https") || !isLoopbackHost(origin.host()))
        return std::nullopt;
    QUrl base;
    base.setScheme(scheme);
    base.setHost(origin.host());
    base.setPort(origin.port());
    QUrl root = base;
    root.setPath(QStringLiteral("/"));
    return Provider{base, root, root, base};
}

const Provider &Provider::current()
{
    static const Provider provider = [] {
        const QByteArray value = qgetenv("TARNLIGHT_PROVIDER");
        if (!value.isEmpty()) {
            if (auto sandbox = loopback(QUrl(QString::fromUtf8(value))))
                return *sandbox;
        }
        return production();
    }();
    return provider;
}

bool Provider::isLoopback() const
{
    return isLoopbackHost(issuer.host()) && isLoopbackHost(apiRoot.host()) && isLoopbackHost(gmailRoot.host())
           && isLoopbackHost(gmailWebOrigin.host());
}

bool isLoopbackHost(const QString &host)
{
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}
