// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Provider.h"

#include <QUrl>

// Links the provider hands out (a Drive file's page, a calendar event's page)
// are stranger-supplied text as far as we know. They open in the browser only
// when they lead to the provider itself.
namespace support {

// True for https on google.com or a subdomain of google.com or
// googleusercontent.com (default port, no user info), and also for the
// provider's own origin when it is the loopback sandbox.
bool isProviderLink(const QUrl &link, const Provider &provider = Provider::current());

// Opens the link with openUrl() when isProviderLink() allows it; otherwise
// logs why and opens nothing. Returns whether it was handed to the opener.
bool openProviderLink(const QUrl &link);
// The same for a link as the provider wrote it, read strictly.
bool openProviderLink(const QString &link);

} // namespace support
