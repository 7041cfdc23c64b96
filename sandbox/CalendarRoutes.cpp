// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Discovery.h"
#include "FieldMask.h"
#include "Routes.h"
#include "Util.h"

#include <QJsonArray>
#include <QUrl>
#include <QTimeZone>

#include <algorithm>

namespace {

// One occurrence as listed: a plain event, or one instance of a series.
struct Occurrence
{
    const Event *event;
    QString id;
    QDateTime start, end; // timed, or local midnight of all-day dates
    int instance = -1;    // index within a series, -1: not an instance
};

QDateTime startOf(const Event &event)
{
    return event.allDay ? QDateTime(event.startDate, QTime(0, 0)) : event.start;
}

QDateTime endOf(const Event &event)
{
    return event.allDay ? QDateTime(event.endDate, QTime(0, 0)) : event.end;
}

QJsonObject timeJson(const Event &event, const QDateTime &time, bool end)
{
    if (event.allDay)
        return QJsonObject{{"date", (end ? event.endDate : event.startDate).toString(Qt::ISODate)}};
    return QJsonObject{{"dateTime", util::rfc3339Offset(time)},
                       {"timeZone", QString::fromLatin1(QTimeZone::systemTimeZoneId())}};
}

QJsonObject remindersJson(const Event &event)
{
    if (!event.reminderOverrides)
        return QJsonObject{{"useDefault", true}};
    QJsonArray overrides;
    for (int minutes : *event.reminderOverrides)
        overrides.append(QJsonObject{{"method", "popup"}, {"minutes", minutes}});
    return QJsonObject{{"useDefault", false}, {"overrides", overrides}};
}

// A third-party conference as Google lists it: the video entry first, a phone one after.
QJsonObject conferenceJson(const Event &event)
{
    const QJsonArray entryPoints{
        QJsonObject{{"entryPointType", "phone"}, {"uri", "tel:+1-555-0100"}, {"label", "+1 555-0100"}},
        QJsonObject{{"entryPointType", "video"}, {"uri", event.videoUri}, {"label", event.videoUri}}};
    return QJsonObject{
        {"conferenceId", "conf-" + event.id},
        {"conferenceSolution", QJsonObject{{"key", QJsonObject{{"type", "addOn"}}}, {"name", "Video call"}}},
        {"entryPoints", entryPoints}};
}

QJsonArray attachmentsJson(const Event &event)
{
    QJsonArray list;
    for (const EventAttachment &a : event.attachments)
        list.append(QJsonObject{{"title", a.title},
                                {"fileUrl", a.fileUrl},
                                {"mimeType", a.mimeType},
                                {"iconLink", a.iconLink},
                                {"fileId", a.fileUrl.section(u'/', -2, -2)}});
    return list;
}

QJsonObject eventJson(const State &state, const Account &owner, const Occurrence &o, bool expanded)
{
    const Event &event = *o.event;
    const QString eid = QString::fromLatin1(util::base64Url((o.id + u' ' + owner.email).toUtf8()));
    QJsonObject json{
        {"kind", "calendar#event"},
        {"etag", QStringLiteral("\"3%1\"").arg(qHash(o.id) % 1000000000, 9, 10, QLatin1Char('0'))},
        {"id", o.id},
        {"status", "confirmed"},
        {"htmlLink", state.baseUrl + QStringLiteral("/calendar/event?eid=") + eid},
        {"created", util::rfc3339Utc(state.seededAt.addDays(-20))},
        {"updated", util::rfc3339Utc(state.seededAt.addDays(-2))},
        {"creator", QJsonObject{{"email", owner.email}, {"self", true}}},
        {"organizer", QJsonObject{{"email", owner.email}, {"self", true}}},
        {"iCalUID", event.id + QStringLiteral("@google.com")},
        {"sequence", 0},
        {"eventType", "default"},
        {"reminders", remindersJson(event)}};
    if (event.summary)
        json.insert(QStringLiteral("summary"), *event.summary);
    if (event.location)
        json.insert(QStringLiteral("location"), *event.location);
    if (!event.description.isEmpty())
        json.insert(QStringLiteral("description"), event.description);
    if (event.hangoutLink)
        json.insert(QStringLiteral("hangoutLink"), *event.hangoutLink);
    if (!event.videoUri.isEmpty())
        json.insert(QStringLiteral("conferenceData"), conferenceJson(event));
    if (!event.attachments.isEmpty())
        json.insert(QStringLiteral("attachments"), attachmentsJson(event));
    if (event.hasStart) {
        json.insert(QStringLiteral("start"), timeJson(event, o.start, false));
        json.insert(QStringLiteral("end"), timeJson(event, o.end, true));
    }
    if (o.instance >= 0) {
        json.insert(QStringLiteral("recurringEventId"), event.id);
        json.insert(QStringLiteral("originalStartTime"), timeJson(event, o.start, false));
    } else if (event.weeklyInstances > 0 && !expanded) {
        json.insert(QStringLiteral("recurrence"),
                    QJsonArray{QStringLiteral("RRULE:FREQ=WEEKLY;COUNT=%1").arg(event.weeklyInstances)});
    }
    if (!event.attendees.isEmpty()) {
        QJsonArray attendees;
        for (const Attendee &a : event.attendees) {
            QJsonObject item{{"email", a.email}, {"responseStatus", a.responseStatus}};
            if (!a.displayName.isEmpty())
                item.insert(QStringLiteral("displayName"), a.displayName);
            if (a.resource)
                item.insert(QStringLiteral("resource"), true);
            if (a.self)
                item.insert(QStringLiteral("self"), true);
            if (a.organizer)
                item.insert(QStringLiteral("organizer"), true);
            attendees.append(item);
        }
        json.insert(QStringLiteral("attendees"), attendees);
    }
    return json;
}

QList<Occurrence> occurrences(const QList<Event> &events, bool singleEvents)
{
    QList<Occurrence> list;
    for (const Event &event : events) {
        if (event.weeklyInstances > 0 && singleEvents) {
            for (int i = 0; i < event.weeklyInstances; ++i) {
                const QDateTime start = event.start.addDays(7 * i);
                const QString stamp = start.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
                list.append({&event, event.id + u'_' + stamp, start, event.end.addDays(7 * i), i});
            }
        } else {
            list.append({&event, event.id, event.hasStart ? startOf(event) : QDateTime(),
                         event.hasStart ? endOf(event) : QDateTime()});
        }
    }
    return list;
}

std::optional<QDateTime> timeParam(Exchange &exchange, const char *name, bool &failed)
{
    const QString text = exchange.param(QLatin1String(name));
    if (text.isEmpty())
        return std::nullopt;
    const auto parsed = util::parseRfc3339(text);
    if (!parsed) {
        failed = true;
        exchange.apiError(400, QStringLiteral("Bad Request"), QStringLiteral("badRequest"));
    }
    return parsed;
}

void listEvents(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = authorize(state, exchange, {"calendar.readonly", "calendar"});
    if (!sub)
        return;
    const Account *owner = state.account(*sub);
    const QString calendar = QUrl::fromPercentEncoding(exchange.capture(0).toUtf8());
    const bool primary = calendar == u"primary" || calendar.compare(owner->email, Qt::CaseInsensitive) == 0;
    const QList<CalendarEntry> &others = state.data[*sub].calendars;
    if (!primary && std::ranges::none_of(others, [&](const CalendarEntry &c) { return c.id == calendar; }))
        return exchange.apiError(404, QStringLiteral("Not Found"), QStringLiteral("notFound"));
    bool failed = false;
    const auto timeMin = timeParam(exchange, "timeMin", failed);
    const auto timeMax = failed ? std::nullopt : timeParam(exchange, "timeMax", failed);
    if (failed)
        return;
    if (timeMin && timeMax && *timeMax <= *timeMin)
        return exchange.apiError(400, QStringLiteral("The specified time range is empty."),
                                 QStringLiteral("timeRangeEmpty"), QStringLiteral("timeMax"),
                                 QStringLiteral("parameter"));
    const bool singleEvents = exchange.param(QStringLiteral("singleEvents")) == u"true";
    const QString orderBy = exchange.param(QStringLiteral("orderBy"));
    if (!orderBy.isEmpty() && orderBy != u"startTime" && orderBy != u"updated")
        return exchange.apiError(400, QStringLiteral("Invalid value for: %1").arg(orderBy),
                                 QStringLiteral("invalid"), QStringLiteral("orderBy"),
                                 QStringLiteral("parameter"));
    if (orderBy == u"startTime" && !singleEvents)
        return exchange.apiError(
            400, QStringLiteral("The requested ordering is not available for the particular query."),
            QStringLiteral("badRequest"));
    bool ok = true;
    const int maxResults = qMin(
        2500, exchange.param(QStringLiteral("maxResults"), QStringLiteral("250")).toInt(&ok));
    if (!ok || maxResults < 1)
        return exchange.apiError(400, QStringLiteral("Invalid value for: maxResults"),
                                 QStringLiteral("invalid"), QStringLiteral("maxResults"),
                                 QStringLiteral("parameter"));

    const auto mask = FieldMask::parse(exchange.param(QStringLiteral("fields")));
    if (!mask)
        return exchange.apiError(400, QStringLiteral("Invalid field selection"),
                                 QStringLiteral("invalidParameter"), QStringLiteral("fields"),
                                 QStringLiteral("parameter"));

    QList<Event> listed = state.data[*sub].events;
    listed.removeIf([&](const Event &event) { return event.calendar != (primary ? QString() : calendar); });
    QList<Occurrence> all = occurrences(listed, singleEvents);
    // The provider's window: an event counts when it ends after timeMin and starts before timeMax.
    all.removeIf([&](const Occurrence &o) {
        if (!o.start.isValid())
            return false;
        return (timeMin && o.end <= *timeMin) || (timeMax && o.start >= *timeMax);
    });
    if (orderBy == u"startTime")
        std::stable_sort(all.begin(), all.end(), [](const Occurrence &a, const Occurrence &b) {
            if (!a.start.isValid() || !b.start.isValid())
                return !a.start.isValid() && b.start.isValid();
            return a.start < b.start;
        });
    const auto page = pageOf(exchange.param(QStringLiteral("pageToken")), int(all.size()), maxResults,
                             state.shortPages.contains(*sub));
    if (!page)
        return exchange.apiError(400, QStringLiteral("Invalid page token value."), QStringLiteral("invalid"),
                                 QStringLiteral("pageToken"), QStringLiteral("parameter"));
    QJsonArray items;
    for (int i = page->from; i < page->from + page->count; ++i)
        items.append(eventJson(state, *owner, all[i], singleEvents));
    QJsonObject answer{{"kind", "calendar#events"},
                       {"etag", "\"p33kbf7sqo7ofg0g\""},
                       {"summary", owner->email},
                       {"updated", util::rfc3339Utc(state.seededAt)},
                       {"timeZone", QString::fromLatin1(QTimeZone::systemTimeZoneId())},
                       {"accessRole", "owner"},
                       {"defaultReminders", QJsonArray{QJsonObject{{"method", "popup"}, {"minutes", 10}}}},
                       {"items", items}};
    if (!page->nextToken.isEmpty())
        answer.insert(QStringLiteral("nextPageToken"), page->nextToken);
    exchange.json(200, mask->apply(answer).toObject());
}

// A timed event that starts `startsIn` seconds from now, for tests of
// reminders and of rows that change with the clock.
void addEvent(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const QJsonObject body = util::parseObject(exchange.body()).value_or(QJsonObject());
    const QString sub = body.value(u"sub").toString();
    if (!state.account(sub) || !state.data.contains(sub))
        return exchange.apiError(404, QStringLiteral("No such account."), QStringLiteral("notFound"));
    Event event;
    event.id = body.value(u"id").toString(QStringLiteral("added%1").arg(state.data[sub].events.size()));
    event.calendar = body.value(u"calendar").toString();
    event.summary = body.value(u"summary").toString(QStringLiteral("Added event"));
    // "start" (RFC 3339) gives two accounts' copies of one meeting the same start.
    const QDateTime start = QDateTime::fromString(body.value(u"start").toString(), Qt::ISODate);
    event.start = start.isValid() ? start
                                  : QDateTime::currentDateTime().addSecs(body.value(u"startsIn").toInt(3600));
    event.end = event.start.addSecs(60 * body.value(u"minutes").toInt(30));
    if (body.contains(u"location"))
        event.location = body.value(u"location").toString();
    if (body.contains(u"hangoutLink"))
        event.hangoutLink = body.value(u"hangoutLink").toString();
    if (body.contains(u"reminders")) {
        QList<int> minutes;
        for (const QJsonValue &m : body.value(u"reminders").toArray())
            minutes.append(m.toInt());
        event.reminderOverrides = minutes;
    }
    Attendee self;
    self.email = state.account(sub)->email;
    self.self = true;
    self.responseStatus = body.value(u"declined").toBool() ? QStringLiteral("declined")
                                                           : QStringLiteral("accepted");
    event.attendees.append(self);
    for (const QJsonValue &guest : body.value(u"guests").toArray()) {
        Attendee invited;
        invited.email = guest.toString();
        invited.responseStatus = QStringLiteral("needsAction");
        event.attendees.append(invited);
    }
    state.data[sub].events.append(event);
    exchange.json(200, QJsonObject{{"ok", true}, {"id", event.id}});
}

// The owner's primary calendar first, then the others; the shape Google lists.
QJsonObject calendarEntryJson(const QString &id, const QString &summary, const QString &colour, bool primary)
{
    QJsonObject json{{"kind", "calendar#calendarListEntry"},
                     {"etag", QStringLiteral("\"16%1\"").arg(qHash(id) % 100000000, 8, 10, QLatin1Char('0'))},
                     {"id", id},
                     {"summary", summary},
                     {"timeZone", QString::fromLatin1(QTimeZone::systemTimeZoneId())},
                     {"colorId", primary ? "14" : "8"},
                     {"backgroundColor", colour},
                     {"foregroundColor", "#000000"},
                     {"selected", true},
                     {"accessRole", primary ? "owner" : "reader"},
                     {"defaultReminders", primary
                                              ? QJsonArray{QJsonObject{{"method", "popup"}, {"minutes", 10}}}
                                              : QJsonArray{}}};
    if (primary)
        json.insert(QStringLiteral("primary"), true);
    return json;
}

void listCalendars(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const auto sub = authorize(state, exchange, {"calendar.readonly", "calendar"});
    if (!sub)
        return;
    const Account *owner = state.account(*sub);
    QJsonArray all{calendarEntryJson(owner->email, owner->email, QStringLiteral("#9fe1e7"), true)};
    for (const CalendarEntry &c : state.data[*sub].calendars)
        all.append(calendarEntryJson(c.id, c.summary, c.colour, false));
    bool ok = true;
    const int maxResults = qMin(
        250, exchange.param(QStringLiteral("maxResults"), QStringLiteral("100")).toInt(&ok));
    const auto mask = FieldMask::parse(exchange.param(QStringLiteral("fields")));
    if (!ok || maxResults < 1 || !mask)
        return exchange.apiError(400, QStringLiteral("Invalid Value"), QStringLiteral("invalid"));
    const auto page = pageOf(exchange.param(QStringLiteral("pageToken")), int(all.size()), maxResults,
                             state.shortPages.contains(*sub));
    if (!page)
        return exchange.apiError(400, QStringLiteral("Invalid page token value."), QStringLiteral("invalid"),
                                 QStringLiteral("pageToken"), QStringLiteral("parameter"));
    QJsonArray items;
    for (int i = page->from; i < page->from + page->count; ++i)
        items.append(all.at(i));
    QJsonObject answer{{"kind", "calendar#calendarList"}, {"etag", "\"p32g9nb5tq7ofg0g\""}, {"items", items}};
    if (!page->nextToken.isEmpty())
        answer.insert(QStringLiteral("nextPageToken"), page->nextToken);
    exchange.json(200, mask->apply(answer).toObject());
}

// Takes a calendar off the owner's list, as when it is deleted or unsubscribed.
void removeCalendar(State &state, Exchange &exchange)
{
    std::lock_guard lock(state.mutex);
    const QJsonObject body = util::parseObject(exchange.body()).value_or(QJsonObject());
    const QString sub = body.value(u"sub").toString();
    const QString id = body.value(u"id").toString();
    if (!state.data.contains(sub))
        return exchange.apiError(404, QStringLiteral("No such account."), QStringLiteral("notFound"));
    state.data[sub].calendars.removeIf([&](const CalendarEntry &c) { return c.id == id; });
    state.data[sub].events.removeIf([&](const Event &e) { return !id.isEmpty() && e.calendar == id; });
    exchange.json(200, QJsonObject{{"ok", true}});
}

} // namespace

void addCalendarRoutes(Server &server, State &state)
{
    State *s = &state;
    server.control("POST", "/__sandbox/event", [s](Exchange &e) { addEvent(*s, e); });
    server.control("POST", "/__sandbox/remove-calendar", [s](Exchange &e) { removeCalendar(*s, e); });
    server.route(
        "GET", R"(/calendar/v3/users/me/calendarList)",
        discovery::checked("calendar.calendarList.list", [s](Exchange &e) { listCalendars(*s, e); }));
    server.route("GET", R"(/calendar/v3/calendars/([^/]+)/events)",
                 discovery::checked("calendar.events.list", [s](Exchange &e) { listEvents(*s, e); }));
}
