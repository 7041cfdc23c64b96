// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Seed.h"

namespace {

struct Meeting
{
    const char *summary;
    const char *location; // nullptr: none
    int hour, minute, minutes;
    int guests; // attendees besides the owner
    bool room;  // a meeting room among the attendees
};

// Rotating weekday meetings; three per weekday keeps more than 25 events in
// any fourteen-day window.
const Meeting Meetings[] = {
    {"Stand-up", "Google Meet", 9, 30, 15, 5, false},
    {"Design review", "Room Fjord", 11, 0, 60, 4, true},
    {"Lunch with Mira", "Ramen Ichiban, Station Road 4", 12, 30, 60, 1, false},
    {"1:1 with Lena", nullptr, 14, 0, 30, 1, false},
    {"Customer call: Northwind", "Google Meet", 15, 0, 45, 3, false},
    {"Focus time", nullptr, 16, 0, 90, 0, false},
    {"Interview: backend engineer", "Room Skerry", 10, 0, 60, 2, true},
    {"Budget check-in", "Room Fjord", 13, 30, 30, 2, true},
};

const char *const People[] = {"lena.park@example.com",   "daniel.kim@example.com",  "priya@northwind.example",
                              "mira.okafor@example.com", "marta.nowak@example.com", "chen.wei@example.cn"};

QList<Attendee> attendeesFor(const Account &owner, int guests, bool room, const QString &roomName)
{
    QList<Attendee> list;
    Attendee self;
    self.email = owner.email;
    self.self = true;
    self.organizer = true;
    self.responseStatus = QStringLiteral("accepted");
    list.append(self);
    for (int i = 0; i < guests; ++i) {
        Attendee guest;
        guest.email = QString::fromLatin1(People[i % std::size(People)]);
        guest.responseStatus = i % 3 == 2 ? QStringLiteral("tentative") : QStringLiteral("accepted");
        list.append(guest);
    }
    if (room) {
        Attendee resource;
        resource.email =
            QStringLiteral("c_188%1@resource.calendar.google.com").arg(roomName.section(u' ', -1).toLower());
        resource.displayName = roomName;
        resource.resource = true;
        resource.responseStatus = QStringLiteral("accepted");
        list.append(resource);
    }
    return list;
}

// What real invitations carry besides time and place: a Meet link, a
// third-party conference, a Zoom link pasted into the description, own
// reminders, an attachment, and an invitation the user declined.
void addMeetingDetails(Event &event, int serial)
{
    const QString summary = event.summary.value_or(QString());
    if (summary == u"Stand-up") {
        event.hangoutLink =
            QStringLiteral("https://meet.google.com/trn-lght-%1").arg(serial, 3, 10, QLatin1Char('0'));
    } else if (summary == u"Customer call: Northwind") {
        event.description = QStringLiteral(
                                "Join Zoom Meeting\nhttps://us02web.zoom.us/j/8123456%1?pwd=Tk9ydGh3aW5k."
                                "\n\nMeeting ID: 812 3456 %1")
                                .arg(serial, 4, 10, QLatin1Char('0'));
        event.reminderOverrides = QList<int>{5, 15};
    } else if (summary == u"Design review") {
        event.videoUri =
            QStringLiteral("https://teams.microsoft.com/l/meetup-join/19%3ameeting_design%1").arg(serial);
        event.attachments.append(
            {QStringLiteral("Design review notes"),
             QStringLiteral("https://drive.google.com/file/d/1DesignNotes%1/view").arg(serial),
             QStringLiteral("application/vnd.google-apps.document"),
             QStringLiteral("https://drive-thirdparty.googleusercontent.com/16/type/"
                            "application/vnd.google-apps.document")});
    } else if (summary == u"Budget check-in") {
        for (Attendee &attendee : event.attendees)
            if (attendee.self) {
                attendee.responseStatus = QStringLiteral("declined");
                attendee.organizer = false;
            }
    }
}

Event timed(const QString &id, const QString &summary, const QDateTime &start, int minutes)
{
    Event event;
    event.id = id;
    event.summary = summary;
    event.start = start;
    event.end = start.addSecs(minutes * 60);
    return event;
}

Event allDay(const QString &id, const QString &summary, const QDate &first, int days)
{
    Event event;
    event.id = id;
    event.summary = summary;
    event.allDay = true;
    event.startDate = first;
    event.endDate = first.addDays(days);
    return event;
}

void seedFull(State &state, const Account &owner, QList<Event> &events)
{
    const QDate today = state.seededAt.date();
    int serial = 0;
    int rotation = 0;
    // Three weeks: from three days ago to seventeen days ahead.
    for (int offset = -3; offset <= 17; ++offset) {
        const QDate day = today.addDays(offset);
        if (day.dayOfWeek() > 5)
            continue;
        for (int n = 0; n < 3; ++n) {
            const Meeting &m = Meetings[rotation++ % std::size(Meetings)];
            Event event = timed(QStringLiteral("ev%1").arg(++serial, 4, 10, QLatin1Char('0')),
                                QString::fromUtf8(m.summary), QDateTime(day, QTime(m.hour, m.minute)),
                                m.minutes);
            if (m.location)
                event.location = QString::fromUtf8(m.location);
            event.attendees = attendeesFor(owner, m.guests, m.room, event.location.value_or(QString()));
            event.description = QStringLiteral("Agenda in the shared notes.");
            addMeetingDetails(event, serial);
            events.append(event);
        }
    }
    // A weekly series on Mondays, starting this week.
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    Event weekly = timed(QStringLiteral("weeklysync01"), QStringLiteral("Weekly team sync"),
                         QDateTime(monday, QTime(10, 0)), 30);
    weekly.location = QStringLiteral("Room Fjord");
    weekly.attendees = attendeesFor(owner, 4, true, QStringLiteral("Room Fjord"));
    weekly.weeklyInstances = 4;
    events.append(weekly);

    events.append(
        allDay(QStringLiteral("allday0001"), QStringLiteral("Company offsite"), today.addDays(9), 2));
    events.last().location = QStringLiteral("Lakeside Lodge, Tarn Valley");
    events.append(allDay(QStringLiteral("allday0002"), QStringLiteral("Mira's birthday \U0001F382"),
                         today.addDays(4), 1));
    events.append(allDay(QStringLiteral("allday0003"), QStringLiteral("Release freeze"), today, 1));
    events.append(
        allDay(QStringLiteral("allday0004"), QStringLiteral("Public holiday"), today.addDays(15), 1));
    Event evening = timed(QStringLiteral("ev9001"), QStringLiteral("Ferry to the island"),
                          QDateTime(today.addDays(2), QTime(19, 15)), 75);
    evening.location = QStringLiteral("Harbour Pier 2");
    events.append(evening);
    Event untitled = timed(QStringLiteral("notitle0001"), QString(), QDateTime(today.addDays(1), QTime(8, 0)),
                           15);
    untitled.summary.reset();
    events.append(untitled);
    Event noStart;
    noStart.id = QStringLiteral("nostart0001");
    noStart.summary = QStringLiteral("Draft: time to be decided");
    noStart.hasStart = false;
    events.append(noStart);
    seeding::seedBriefEvents(state.seededAt, owner, events);
}

// A shared team calendar and a family one beside the primary calendar; the
// team's release planning starts with a stand-up.
void seedOtherCalendars(State &state, const QString &sub)
{
    const QDate today = state.seededAt.date();
    const QString team = QStringLiteral("team.tarn@group.calendar.google.com");
    const QString family = QStringLiteral("family.okafor@group.calendar.google.com");
    AccountData &data = state.data[sub];
    data.calendars = {{team, QStringLiteral("Team Tarn"), QStringLiteral("#16a765")},
                      {family, QStringLiteral("Family"), QStringLiteral("#f691b2")}};
    QDate weekday = today.addDays(1);
    while (weekday.dayOfWeek() > 5)
        weekday = weekday.addDays(1);
    data.events.append(timed(QStringLiteral("team0001"), QStringLiteral("Release planning"),
                             QDateTime(weekday, QTime(9, 30)), 45));
    data.events.last().calendar = team;
    data.events.last().hangoutLink = QStringLiteral("https://meet.google.com/rel-plan-ning");
    data.events.append(timed(QStringLiteral("family0001"), QStringLiteral("Parents' evening"),
                             QDateTime(today.addDays(2), QTime(17, 0)), 60));
    data.events.last().calendar = family;
    data.events.last().location = QStringLiteral("Tarn Valley School");
}

} // namespace

namespace seeding {

void seedCalendar(State &state, const QString &sub, int variant)
{
    const Account *owner = state.account(sub);
    QList<Event> &events = state.data[sub].events;
    if (variant == 0) {
        seedFull(state, *owner, events);
        seedOtherCalendars(state, sub);
    } else if (variant == 1) {
        const QDate today = state.seededAt.date();
        events.append(timed(QStringLiteral("mira0001"), QStringLiteral("Yoga"),
                            QDateTime(today.addDays(1), QTime(18, 0)), 60));
        events.append(timed(QStringLiteral("mira0002"), QStringLiteral("Lunch with Alex"),
                            QDateTime(today.addDays(3), QTime(12, 30)), 60));
        events.last().location = QStringLiteral("Ramen Ichiban, Station Road 4");
        events.append(allDay(QStringLiteral("mira0003"), QStringLiteral("Book club"), today.addDays(6), 1));
    }
}

} // namespace seeding
