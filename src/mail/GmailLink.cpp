// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/GmailLink.h"

#include <QUrlQuery>

namespace gmail {

QUrl threadWebLink(const QString &accountEmail, const QString &threadId, const Provider &provider)
{
    QUrl link = provider.gmailWebOrigin;
    link.setPath(QStringLiteral("/mail/"));
    // Encoded up front: a query keeps "+" as it is, and servers read it as a space.
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("authuser"),
                       QString::fromLatin1(QUrl::toPercentEncoding(accountEmail)));
    link.setQuery(query);
    link.setFragment(QStringLiteral("all/") + threadId);
    return link;
}

} // namespace gmail
