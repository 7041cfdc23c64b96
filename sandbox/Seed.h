// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "State.h"

// Building blocks of the seed data, shared with the routes that create
// messages and files at run time.
namespace seeding {

QString messageId(int index);                  // "18f0000000000001"
QString snippetOf(const MessagePart &payload); // as the provider escapes it
MessagePart textPart(const QString &mimeType, const QByteArray &text);
QString webViewLink(const QString &base, const DriveFile &file);

void seedMail(State &state, const QString &sub, int variant);
void seedCalendar(State &state, const QString &sub, int variant);
void seedDrive(State &state, const QString &sub, int variant);
// A meeting later today with guests who sent unread mail, and an overlap.
void seedBriefEvents(const QDateTime &seededAt, const Account &owner, QList<Event> &events);

} // namespace seeding
