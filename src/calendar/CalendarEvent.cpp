// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarEvent.h"

#include <QCoreApplication>
#include <QHash>
#include <QUrlQuery>

QString CalendarEvent::timeLabel() const
{
    if (!start)
        return {};
    if (isAllDay)
        return QCoreApplication::translate("CalendarEvent", "All day");
    return shortTimeLabel(*start);
}

QUrl CalendarEvent::pageLink(const QString &accountEmail) const
{
    QUrl link(htmlLink.value_or(QString()), QUrl::StrictMode);
    if (!link.isValid() || link.isEmpty() || accountEmail.isEmpty())
        return link;
    QUrlQuery query(link);
    query.removeAllQueryItems(QStringLiteral("authuser"));
    // Encoded up front: a query keeps "+" as it is, and servers read it as a space.
    query.addQueryItem(QStringLiteral("authuser"),
                       QString::fromLatin1(QUrl::toPercentEncoding(accountEmail)));
    link.setQuery(query);
    return link;
}

QString CalendarEvent::sharedKey() const
{
    if (iCalUID.isEmpty())
        return {};
    return iCalUID + u'|' + (start ? start->toUTC().toString(Qt::ISODate) : QString());
}

size_t qHash(const CalendarEvent &e, size_t seed)
{
    // Equal events hash alike; the lists are left to equality.
    return qHashMulti(seed, e.id, e.calendarId, e.title, qHashTimestamp(e.start), qHashTimestamp(e.end),
                      e.isAllDay, e.location.value_or(QString()), e.location.has_value(), e.attendeeCount,
                      e.htmlLink.value_or(QString()), e.htmlLink.has_value(), e.meetingLink, e.declined);
}
