// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/Queries.h"

#include "rest/Resources.h"

#include <QUuid>

namespace rest {

namespace {

// The path's parameters with their values, in the names the template uses.
using PathValues = std::initializer_list<std::pair<QString, QString>>;

template<typename Q, typename Result>
std::shared_ptr<Q> makeQuery(const char *pathTemplate, const QByteArray &method, const char *loggingName,
                             PathValues path = {})
{
    auto query = std::make_shared<Q>();
    query->pathURITemplate = QString::fromLatin1(pathTemplate);
    query->httpMethod = method;
    query->expectedObjectClass = ObjectClass::of<Result>();
    query->loggingName = QString::fromLatin1(loggingName);
    for (const auto &[name, value] : path) {
        query->pathParameterNames.append(name);
        query->setParameter(name, value);
    }
    return query;
}

} // namespace

std::shared_ptr<CalendarEventsListQuery> CalendarEventsListQuery::query(const QString &calendarId)
{
    return makeQuery<CalendarEventsListQuery, CalendarEventsResource>(
        "calendars/{calendarId}/events", {}, "calendar.events.list",
        {{QStringLiteral("calendarId"), calendarId}});
}

std::shared_ptr<CalendarCalendarListListQuery> CalendarCalendarListListQuery::query()
{
    return makeQuery<CalendarCalendarListListQuery, CalendarListResource>("users/me/calendarList", {},
                                                                          "calendar.calendarList.list");
}

std::shared_ptr<DriveFilesListQuery> DriveFilesListQuery::query()
{
    return makeQuery<DriveFilesListQuery, DriveFileListResource>("files", {}, "drive.files.list");
}

std::shared_ptr<DriveFilesCreateQuery> DriveFilesCreateQuery::query(
    const RestObjectPtr &object, const std::optional<UploadParameters> &uploadParameters)
{
    auto q = makeQuery<DriveFilesCreateQuery, DriveFileResource>("files", "POST", "drive.files.create");
    q->bodyObject = object;
    q->uploadParameters = uploadParameters;
    return q;
}

std::shared_ptr<GmailMessagesListQuery> GmailMessagesListQuery::query(const QString &userId)
{
    return makeQuery<GmailMessagesListQuery, GmailListMessagesResource>("gmail/v1/users/{userId}/messages",
                                                                        {}, "gmail.users.messages.list",
                                                                        {{QStringLiteral("userId"), userId}});
}

std::shared_ptr<GmailMessagesGetQuery> GmailMessagesGetQuery::query(const QString &userId,
                                                                    const QString &identifier)
{
    return makeQuery<GmailMessagesGetQuery, GmailMessageResource>(
        "gmail/v1/users/{userId}/messages/{id}", {}, "gmail.users.messages.get",
        {{QStringLiteral("userId"), userId}, {QStringLiteral("id"), identifier}});
}

std::shared_ptr<GmailMessagesAttachmentsGetQuery> GmailMessagesAttachmentsGetQuery::query(
    const QString &userId, const QString &messageId, const QString &identifier)
{
    return makeQuery<GmailMessagesAttachmentsGetQuery, GmailMessagePartBodyResource>(
        "gmail/v1/users/{userId}/messages/{messageId}/attachments/{id}", {},
        "gmail.users.messages.attachments.get",
        {{QStringLiteral("userId"), userId},
         {QStringLiteral("messageId"), messageId},
         {QStringLiteral("id"), identifier}});
}

std::shared_ptr<GmailMessagesModifyQuery> GmailMessagesModifyQuery::query(const RestObjectPtr &object,
                                                                          const QString &userId,
                                                                          const QString &identifier)
{
    auto q = makeQuery<GmailMessagesModifyQuery, GmailMessageResource>(
        "gmail/v1/users/{userId}/messages/{id}/modify", "POST", "gmail.users.messages.modify",
        {{QStringLiteral("userId"), userId}, {QStringLiteral("id"), identifier}});
    q->bodyObject = object;
    return q;
}

std::shared_ptr<GmailDraftsCreateQuery> GmailDraftsCreateQuery::query(
    const RestObjectPtr &object, const QString &userId,
    const std::optional<UploadParameters> &uploadParameters)
{
    auto q = makeQuery<GmailDraftsCreateQuery, GmailDraftResource>("gmail/v1/users/{userId}/drafts", "POST",
                                                                   "gmail.users.drafts.create",
                                                                   {{QStringLiteral("userId"), userId}});
    q->bodyObject = object;
    q->uploadParameters = uploadParameters;
    return q;
}

std::shared_ptr<GmailLabelsListQuery> GmailLabelsListQuery::query(const QString &userId)
{
    return makeQuery<GmailLabelsListQuery, GmailListLabelsResource>("gmail/v1/users/{userId}/labels", {},
                                                                    "gmail.users.labels.list",
                                                                    {{QStringLiteral("userId"), userId}});
}

std::shared_ptr<GmailLabelsGetQuery> GmailLabelsGetQuery::query(const QString &userId,
                                                                const QString &identifier)
{
    return makeQuery<GmailLabelsGetQuery, GmailLabelResource>(
        "gmail/v1/users/{userId}/labels/{id}", {}, "gmail.users.labels.get",
        {{QStringLiteral("userId"), userId}, {QStringLiteral("id"), identifier}});
}

QHash<QString, const ObjectClass *> calendarKindMap()
{
    return {{QStringLiteral("calendar#events"), ObjectClass::of<CalendarEventsResource>()},
            {QStringLiteral("calendar#event"), ObjectClass::of<CalendarEventResource>()},
            {QStringLiteral("calendar#calendarList"), ObjectClass::of<CalendarListResource>()},
            {QStringLiteral("calendar#calendarListEntry"), ObjectClass::of<CalendarListEntryResource>()}};
}

QHash<QString, const ObjectClass *> driveKindMap()
{
    return {{QStringLiteral("drive#fileList"), ObjectClass::of<DriveFileListResource>()},
            {QStringLiteral("drive#file"), ObjectClass::of<DriveFileResource>()}};
}

} // namespace rest
