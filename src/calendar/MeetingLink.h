// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>

namespace calendar {

// Whether the host is one of the video-call services we offer to join:
// meet.google.com, teams.microsoft.com, meet.jit.si, zoom.us and webex.com
// or their subdomains. Compared whole or by dot-suffix, so look-alikes such
// as "evilzoom.us" or "zoom.us.example.com" are not.
bool isMeetingHost(const QString &host);

// The link that joins an event's video call, from its resource: the
// hangoutLink, else its first "video" conference entry point, else the
// first https URL on a meeting host in its location or description.
// Only https links count; empty when there is none.
QString meetingLink(const QJsonObject &event);

} // namespace calendar
