// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/Queries.h"

#include "rest/Resources.h"

#include <QUuid>

namespace rest {

namespace {

template<typename Q, typename Result>
std::shared_ptr<Q> makeQuery(const char *pathTemplate, const QByteArray &method,
                             const QStringList &pathParameters, const char *loggingName)
{
    auto query = std::make_shared<Q>();
    query->pathURITemplate = QString::fromLatin1(pathTemplate);
    query->httpMethod = method;
    query->pathParameterNames = pathParameters;
    query->expectedObjectClass = ObjectClass::of<Result>();
    query->loggingName = QString::fromLatin1(loggingName);
    return query;
}

} // namespace

std::shared_ptr<CalendarEventsListQuery> CalendarEventsListQuery::query(const QString &calendarId)
{
    auto q = makeQuery<CalendarEventsListQuery, CalendarEventsResource>(
        "calendars/{calendarId}/events", {}, {QStringLiteral("calendarId")}, "calendar.events.list");
    q->setParameter(QStringLiteral("calendarId"), calendarId);
    return q;
}

std::shared_ptr<DriveFilesListQuery> DriveFilesListQuery::query()
{
    return makeQuery<DriveFilesListQuery, DriveFileListResource>("files", {}, {}, "drive.files.list");
}

std::shared_ptr<DriveFilesCreateQuery> DriveFilesCreateQuery::query(
    const RestObjectPtr &object, const std::optional<UploadParameters> &uploadParameters)
{
    auto q = makeQuery<DriveFilesCreateQuery, DriveFileResource>("files", "POST", {}, "drive.files.create");
    q->bodyObject = object;
    q->uploadParameters = uploadParameters;
    return q;
}

std::shared_ptr<GmailMessagesListQuery> GmailMessagesListQuery::query(const QString &userId)
{
    auto q = makeQuery<GmailMessagesListQuery, GmailListMessagesResource>(
        "gmail/v1/users/{userId}/messages", {}, {QStringLiteral("userId")}, "gmail.users.messages.list");
    q->setParameter(QStringLiteral("userId"), userId);
    return q;
}

std::shared_ptr<GmailMessagesGetQuery> GmailMessagesGetQuery::query(const QString &userId,
                                                                    const QString &identifier)
{
    auto q = makeQuery<GmailMessagesGetQuery, GmailMessageResource>(
        "gmail/v1/users/{userId}/messages/{id}", {}, {QStringLiteral("id"), QStringLiteral("userId")},
        "gmail.users.messages.get");
    q->setParameter(QStringLiteral("userId"), userId);
    q->setParameter(QStringLiteral("identifier"), identifier);
    return q;
}

std::shared_ptr<GmailMessagesAttachmentsGetQuery> GmailMessagesAttachmentsGetQuery::query(
    const QString &userId, const QString &messageId, const QString &identifier)
{
    auto q = makeQuery<GmailMessagesAttachmentsGetQuery, GmailMessagePartBodyResource>(
        "gmail/v1/users/{userId}/messages/{messageId}/attachments/{id}", {},
        {QStringLiteral("id"), QStringLiteral("messageId"), QStringLiteral("userId")},
        "gmail.users.messages.attachments.get");
    q->setParameter(QStringLiteral("userId"), userId);
    q->setParameter(QStringLiteral("messageId"), messageId);
    q->setParameter(QStringLiteral("identifier"), identifier);
    return q;
}

std::shared_ptr<GmailMessagesModifyQuery> GmailMessagesModifyQuery::query(const RestObjectPtr &object,
                                                                          const QString &userId,
                                                                          const QString &identifier)
{
    auto q = makeQuery<GmailMessagesModifyQuery, GmailMessageResource>(
        "gmail/v1/users/{userId}/messages/{id}/modify", "POST",
        {QStringLiteral("id"), QStringLiteral("userId")}, "gmail.users.messages.modify");
    q->bodyObject = object;
    q->setParameter(QStringLiteral("userId"), userId);
    q->setParameter(QStringLiteral("identifier"), identifier);
    return q;
}

std::shared_ptr<GmailDraftsCreateQuery> GmailDraftsCreateQuery::query(
    const RestObjectPtr &object, const QString &userId,
    const std::optional<UploadParameters> &uploadParameters)
{
    auto q = makeQuery<GmailDraftsCreateQuery, GmailDraftResource>(
        "gmail/v1/users/{userId}/drafts", "POST", {QStringLiteral("userId")}, "gmail.users.drafts.create");
    q->bodyObject = object;
    q->uploadParameters = uploadParameters;
    q->setParameter(QStringLiteral("userId"), userId);
    return q;
}

std::shared_ptr<GmailLabelsListQuery> GmailLabelsListQuery::query(const QString &userId)
{
    auto q = makeQuery<GmailLabelsListQuery, GmailListLabelsResource>(
        "gmail/v1/users/{userId}/labels", {}, {QStringLiteral("userId")}, "gmail.users.labels.list");
    q->setParameter(QStringLiteral("userId"), userId);
    return q;
}

std::shared_ptr<GmailLabelsGetQuery> GmailLabelsGetQuery::query(const QString &userId,
                                                                const QString &identifier)
{
    auto q = makeQuery<GmailLabelsGetQuery, GmailLabelResource>(
        "gmail/v1/users/{userId}/labels/{id}", {}, {QStringLiteral("id"), QStringLiteral("userId")},
        "gmail.users.labels.get");
    q->setParameter(QStringLiteral("userId"), userId);
    q->setParameter(QStringLiteral("identifier"), identifier);
    return q;
}

QHash<QString, const ObjectClass *> calendarKindMap()
{
    return {{QStringLiteral("calendar#events"), ObjectClass::of<CalendarEventsResource>()},
            {QStringLiteral("calendar#event"), ObjectClass::of<CalendarEventResource>()}};
}

QHash<QString, const ObjectClass *> driveKindMap()
{
    return {{QStringLiteral("drive#fileList"), ObjectClass::of<DriveFileListResource>()},
            {QStringLiteral("drive#file"), ObjectClass::of<DriveFileResource>()}};
}

} // namespace rest
