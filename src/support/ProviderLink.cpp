// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ProviderLink.h"

#include "support/UrlOpener.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcProviderLink, "tarnlight.links")

namespace support {

namespace {

bool isGoogleHost(const QString &host)
{
    return host == u"google.com" || host.endsWith(u".google.com") || host.endsWith(u".googleusercontent.com");
}

bool isSameOrigin(const QUrl &link, const QUrl &origin)
{
    return link.scheme() == origin.scheme() && link.host() == origin.host()
           && link.port(origin.scheme() == u"https" ? 443 : 80)
                  == origin.port(origin.scheme() == u"https" ? 443 : 80);
}

} // namespace

bool isProviderLink(const QUrl &link, const Provider &provider)
{
    if (!link.isValid() || !link.userInfo().isEmpty())
        return false;
    if (provider.isLoopback() && isSameOrigin(link, provider.gmailWebOrigin))
        return true;
    return link.scheme() == u"https" && link.port(443) == 443 && isGoogleHost(link.host());
}

bool openProviderLink(const QUrl &link)
{
    if (!isProviderLink(link)) {
        qCWarning(lcProviderLink) << "not opening a link that does not lead to the provider:" << link.scheme()
                                  << link.host();
        return false;
    }
    return openUrl(link);
}

bool openProviderLink(const QString &link)
{
    return openProviderLink(QUrl(link, QUrl::StrictMode));
}

} // namespace support
