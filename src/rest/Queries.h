// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/DateTime.h"
#include "rest/RestService.h"

// The queries the clients build. Factories set the path template, method,
// path parameters, expected result type and logging name; further
// parameters go through the typed setters or setParameter(name, value).
namespace rest {

class CalendarEventsListQuery : public RestQuery
{
public:
    static std::shared_ptr<CalendarEventsListQuery> query(const QString &calendarId);
    void setSingleEvents(bool value) { setParameter(QStringLiteral("singleEvents"), value); }
    void setOrderBy(const QString &value) { setParameter(QStringLiteral("orderBy"), value); }
    void setMaxResults(qint64 value) { setParameter(QStringLiteral("maxResults"), value); }
    void setTimeMin(const DateTime &value) { setParameter(QStringLiteral("timeMin"), value.RFC3339String()); }
    void setTimeMax(const DateTime &value) { setParameter(QStringLiteral("timeMax"), value.RFC3339String()); }
    void setPageToken(const QString &value) { setParameter(QStringLiteral("pageToken"), value); }
    void setFields(const QString &value) { setParameter(QStringLiteral("fields"), value); }
};

class CalendarCalendarListListQuery : public RestQuery
{
public:
    static std::shared_ptr<CalendarCalendarListListQuery> query();
    void setMaxResults(qint64 value) { setParameter(QStringLiteral("maxResults"), value); }
    void setPageToken(const QString &value) { setParameter(QStringLiteral("pageToken"), value); }
    void setFields(const QString &value) { setParameter(QStringLiteral("fields"), value); }
};

class DriveFilesListQuery : public RestQuery
{
public:
    static std::shared_ptr<DriveFilesListQuery> query();
    void setQ(const QString &value) { setParameter(QStringLiteral("q"), value); }
    void setOrderBy(const QString &value) { setParameter(QStringLiteral("orderBy"), value); }
    void setPageSize(qint64 value) { setParameter(QStringLiteral("pageSize"), value); }
    void setFields(const QString &value) { setParameter(QStringLiteral("fields"), value); }
    void setPageToken(const QString &value) { setParameter(QStringLiteral("pageToken"), value); }
};

class DriveFilesCreateQuery : public RestQuery
{
public:
    static std::shared_ptr<DriveFilesCreateQuery> query(
        const RestObjectPtr &object, const std::optional<UploadParameters> &uploadParameters);
};

class GmailMessagesListQuery : public RestQuery
{
public:
    static std::shared_ptr<GmailMessagesListQuery> query(const QString &userId);
    void setLabelIds(const QStringList &value)
    {
        setParameter(QStringLiteral("labelIds"), QJsonArray::fromStringList(value));
    }
    void setMaxResults(qint64 value) { setParameter(QStringLiteral("maxResults"), value); }
    void setQ(const QString &value) { setParameter(QStringLiteral("q"), value); }
};

class GmailMessagesGetQuery : public RestQuery
{
public:
    static std::shared_ptr<GmailMessagesGetQuery> query(const QString &userId, const QString &identifier);
    void setFormat(const QString &value) { setParameter(QStringLiteral("format"), value); }
    void setMetadataHeaders(const QStringList &value)
    {
        setParameter(QStringLiteral("metadataHeaders"), QJsonArray::fromStringList(value));
    }
};

// The body of one message part that came with an attachmentId instead of data.
class GmailMessagesAttachmentsGetQuery : public RestQuery
{
public:
    static std::shared_ptr<GmailMessagesAttachmentsGetQuery> query(const QString &userId,
                                                                   const QString &messageId,
                                                                   const QString &identifier);
};

class GmailMessagesModifyQuery : public RestQuery
{
public:
    static std::shared_ptr<GmailMessagesModifyQuery> query(const RestObjectPtr &object, const QString &userId,
                                                           const QString &identifier);
};

class GmailDraftsCreateQuery : public RestQuery
{
public:
    static std::shared_ptr<GmailDraftsCreateQuery> query(
        const RestObjectPtr &object, const QString &userId,
        const std::optional<UploadParameters> &uploadParameters = std::nullopt);
};

class GmailLabelsListQuery : public RestQuery
{
public:
    static std::shared_ptr<GmailLabelsListQuery> query(const QString &userId);
};

class GmailLabelsGetQuery : public RestQuery
{
public:
    static std::shared_ptr<GmailLabelsGetQuery> query(const QString &userId, const QString &identifier);
};

} // namespace rest
