// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// What the brief and the meeting-prep card are shown with: a meeting later
// today whose guests sent unread mail, with a call and a Drive file, and a
// second event that overlaps it.

#include "Seed.h"

namespace {

QDateTime quarterAfter(const QDateTime &at, int minutes)
{
    const QDateTime later = at.addSecs(minutes * 60);
    const QTime time = later.time();
    return QDateTime(later.date(), QTime(time.hour(), time.minute() / 15 * 15));
}

Attendee guest(const QString &email, const QString &name, const QString &response)
{
    Attendee attendee;
    attendee.email = email;
    attendee.displayName = name;
    attendee.responseStatus = response;
    return attendee;
}

} // namespace

namespace seeding {

void seedBriefEvents(const QDateTime &seededAt, const Account &owner, QList<Event> &events)
{
    Event review;
    review.id = QStringLiteral("brief0001");
    review.summary = QStringLiteral("Q3 roadmap review");
    review.start = quarterAfter(seededAt, 90);
    review.end = review.start.addSecs(45 * 60);
    review.hangoutLink = QStringLiteral("https://meet.google.com/qrd-mapr-evw");
    Attendee self = guest(owner.email, owner.name, QStringLiteral("accepted"));
    self.self = true;
    review.attendees = {
        self,
        guest(QStringLiteral("priya@northwind.example"), QStringLiteral("Priya Natarajan"),
              QStringLiteral("accepted")),
        guest(QStringLiteral("daniel.kim@example.com"), QStringLiteral("Daniel Kim"),
              QStringLiteral("tentative")),
        guest(QStringLiteral("lena.park@example.com"), QString(), QStringLiteral("needsAction"))};
    review.attachments.append({QStringLiteral("Q3 roadmap deck"),
                               QStringLiteral("https://docs.google.com/presentation/d/1Q3RoadmapDeck/edit"),
                               QStringLiteral("application/vnd.google-apps.presentation"), QString()});
    review.attachments.append(
        {QStringLiteral("Q3 priorities.xlsx"),
         QStringLiteral("https://drive.google.com/file/d/1Q3Priorities/view"),
         QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"), QString()});
    events.append(review);

    Event vendor;
    vendor.id = QStringLiteral("brief0002");
    vendor.summary = QStringLiteral("Vendor demo");
    vendor.start = review.start.addSecs(30 * 60);
    vendor.end = vendor.start.addSecs(30 * 60);
    vendor.attendees = {self,
                        guest(QStringLiteral("sales@vendor.example"), QString(), QStringLiteral("accepted"))};
    events.append(vendor);
}

} // namespace seeding
