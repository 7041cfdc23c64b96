// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/NeedsYou.h"

#include <QStringList>

// Three lines on the recent mail of a meeting's guests, to read before it.
// The mail is untrusted: lines with links, markup or over 140 characters
// are dropped like the brief's items.
namespace ai {

struct MeetingNotesAnswer
{
    QStringList lines;
    QMap<DropRule, int> dropped;
};

struct MeetingNotes
{
    static constexpr int MaxLines = 3;
    static constexpr int MaxMails = 5;
    static inline const QString SchemaName = QStringLiteral("MeetingNotes");
    static const QString Instructions;

    static QString prompt(const QString &meetingTitle, const QList<BriefMail> &mails);
    static QByteArray responseFormat();
    // A missing "lines" array throws.
    static MeetingNotesAnswer soundLines(const QJsonObject &content);
};

} // namespace ai
