// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rest/RestObject.h"

// The API object types the clients receive. Fields are read by JSON name
// through RestObject's typed accessors (e.g. stringValue("summary"),
// objectValue("start"), dateTimeValue("modifiedTime")).
namespace rest {

#define TL_REST_OBJECT_CLASS(Name)                                                                           \
    static const char *staticClassName()                                                                     \
    {                                                                                                        \
        return #Name;                                                                                        \
    }                                                                                                        \
    const ObjectClass *objectClass() const override                                                          \
    {                                                                                                        \
        return ObjectClass::of<Name>();                                                                      \
    }

class CalendarEventResource : public RestObject
{
public:
    TL_REST_OBJECT_CLASS(CalendarEventResource)
};

// "items": calendar events.
class CalendarEventsResource : public CollectionObject
{
public:
    TL_REST_OBJECT_CLASS(CalendarEventsResource)
    const ObjectClass *itemClass() const override { return ObjectClass::of<CalendarEventResource>(); }
};

class CalendarListEntryResource : public RestObject
{
public:
    TL_REST_OBJECT_CLASS(CalendarListEntryResource)
};

// "items": the calendars on the user's list.
class CalendarListResource : public CollectionObject
{
public:
    TL_REST_OBJECT_CLASS(CalendarListResource)
    const ObjectClass *itemClass() const override { return ObjectClass::of<CalendarListEntryResource>(); }
};

class DriveFileResource : public RestObject
{
public:
    TL_REST_OBJECT_CLASS(DriveFileResource)
};

// "files": Drive files.
class DriveFileListResource : public CollectionObject
{
public:
    TL_REST_OBJECT_CLASS(DriveFileListResource)
    QString collectionItemsKey() const override { return QStringLiteral("files"); }
    const ObjectClass *itemClass() const override { return ObjectClass::of<DriveFileResource>(); }
};

class GmailMessageResource : public RestObject
{
public:
    TL_REST_OBJECT_CLASS(GmailMessageResource)
};

// "messages": message stubs (id, threadId).
class GmailListMessagesResource : public CollectionObject
{
public:
    TL_REST_OBJECT_CLASS(GmailListMessagesResource)
    QString collectionItemsKey() const override { return QStringLiteral("messages"); }
    const ObjectClass *itemClass() const override { return ObjectClass::of<GmailMessageResource>(); }
};

// A message part's body fetched on its own: "size" and base64url "data".
class GmailMessagePartBodyResource : public RestObject
{
public:
    TL_REST_OBJECT_CLASS(GmailMessagePartBodyResource)
};

class GmailDraftResource : public RestObject
{
public:
    TL_REST_OBJECT_CLASS(GmailDraftResource)
};

// A label: id, name, type ("system" or "user"); from users.labels.get also
// its counts ("messagesUnread" and the others).
class GmailLabelResource : public RestObject
{
public:
    TL_REST_OBJECT_CLASS(GmailLabelResource)
};

// "labels": every label of the mailbox, without counts.
class GmailListLabelsResource : public CollectionObject
{
public:
    TL_REST_OBJECT_CLASS(GmailListLabelsResource)
    QString collectionItemsKey() const override { return QStringLiteral("labels"); }
    const ObjectClass *itemClass() const override { return ObjectClass::of<GmailLabelResource>(); }
};

#undef TL_REST_OBJECT_CLASS

// The kind maps of the APIs (Gmail answers carry no kinds).
QHash<QString, const ObjectClass *> calendarKindMap();
QHash<QString, const ObjectClass *> driveKindMap();

} // namespace rest
