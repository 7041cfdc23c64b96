// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/MeetingLink.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace {

// A provider's link as a URL we may open: https with a host, nothing else.
std::optional<QUrl> httpsUrl(const QString &text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(u"https", Qt::CaseInsensitive) != 0 || url.host().isEmpty())
        return std::nullopt;
    return url;
}

QString fromText(const QString &text)
{
    // Descriptions are often HTML: quotes and angle brackets end a link, and
    // a sentence's closing punctuation is not part of it.
    static const QRegularExpression candidate(QStringLiteral(R"(https://[^\s<>"'`\\{}|^\[\]]+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression trailing(QStringLiteral(R"([.,;:!?)]+$)"));
    for (auto it = candidate.globalMatch(text); it.hasNext();) {
        QString link = it.next().captured();
        link.remove(trailing);
        const auto url = httpsUrl(link);
        if (url && calendar::isMeetingHost(url->host()))
            return url->toString(QUrl::FullyEncoded);
    }
    return {};
}

} // namespace

namespace calendar {

bool isMeetingHost(const QString &host)
{
    const QString h = host.toLower();
    for (const char *exact : {"meet.google.com", "teams.microsoft.com", "meet.jit.si"})
        if (h == QLatin1String(exact))
            return true;
    for (const char *domain : {"zoom.us", "webex.com"}) {
        const QLatin1String d(domain);
        if (h == d || (h.endsWith(d) && h.at(h.size() - d.size() - 1) == u'.'))
            return true;
    }
    return false;
}

QString meetingLink(const QJsonObject &event)
{
    if (const auto url = httpsUrl(event.value(u"hangoutLink").toString()))
        return url->toString(QUrl::FullyEncoded);
    const QJsonArray entryPoints = event.value(u"conferenceData").toObject().value(u"entryPoints").toArray();
    for (const QJsonValue &entry : entryPoints) {
        if (entry.toObject().value(u"entryPointType").toString() != u"video")
            continue;
        if (const auto url = httpsUrl(entry.toObject().value(u"uri").toString()))
            return url->toString(QUrl::FullyEncoded);
    }
    for (const char *field : {"location", "description"}) {
        const QString found = fromText(event.value(QLatin1String(field)).toString());
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace calendar
