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

// One object of an API.
#define TL_REST_RESOURCE(Name)                                                                               \
    class Name : public RestObject                                                                           \
    {                                                                                                        \
    public:                                                                                                  \
        TL_REST_OBJECT_CLASS(Name)                                                                           \
    };

// A list whose items lie under `key`, built as Item unless their kind says
// otherwise.
#define TL_REST_COLLECTION(Name, Item, key)                                                                  \
    class Name : public CollectionObject                                                                     \
    {                                                                                                        \
    public:                                                                                                  \
        TL_REST_OBJECT_CLASS(Name)                                                                           \
        QString collectionItemsKey() const override { return QStringLiteral(key); }                          \
        const ObjectClass *itemClass() const override { return ObjectClass::of<Item>(); }                    \
    };

TL_REST_RESOURCE(CalendarEventResource)
TL_REST_COLLECTION(CalendarEventsResource, CalendarEventResource, "items")

TL_REST_RESOURCE(CalendarListEntryResource)
// The calendars on the user's list.
TL_REST_COLLECTION(CalendarListResource, CalendarListEntryResource, "items")

TL_REST_RESOURCE(DriveFileResource)
TL_REST_COLLECTION(DriveFileListResource, DriveFileResource, "files")

TL_REST_RESOURCE(GmailMessageResource)
// Message stubs (id, threadId).
TL_REST_COLLECTION(GmailListMessagesResource, GmailMessageResource, "messages")
// A message part's body fetched on its own: "size" and base64url "data".
TL_REST_RESOURCE(GmailMessagePartBodyResource)
TL_REST_RESOURCE(GmailDraftResource)

// A label: id, name, type ("system" or "user"); from users.labels.get also
// its counts ("messagesUnread" and the others).
TL_REST_RESOURCE(GmailLabelResource)
// Every label of the mailbox, without counts.
TL_REST_COLLECTION(GmailListLabelsResource, GmailLabelResource, "labels")

#undef TL_REST_COLLECTION
#undef TL_REST_RESOURCE
#undef TL_REST_OBJECT_CLASS

// The kind maps of the APIs (Gmail answers carry no kinds).
QHash<QString, const ObjectClass *> calendarKindMap();
QHash<QString, const ObjectClass *> driveKindMap();

} // namespace rest
