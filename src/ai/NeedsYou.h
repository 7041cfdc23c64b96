// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ai/ModelLine.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QSet>
#include <QString>

// What the model is asked to draw from the unread mail: the few things the
// reader must do, each tied to the mail it came from. Mail is written by
// strangers, so the answer is checked item by item and only sound items are
// kept; the model's answer never starts an action, it is only shown.
namespace ai {

// One unread mail as the model reads it.
struct BriefMail
{
    QString id;
    QString sender;
    QString subject;
    QString text; // what of the body the brief uses (the snippet will do)
};

struct NeedsYouItem
{
    QString sourceId; // the id of one of the mails given
    QString text;     // a short imperative line
    QString due;      // the due time the mail names, or empty

    friend bool operator==(const NeedsYouItem &, const NeedsYouItem &) = default;
};

// Why an item of the answer was not kept.
enum class DropRule {
    UnknownSource, // its source is none of the mails given
    Link,
    Markup,
    TooLong,
    Malformed, // not an object of three strings
    OverLimit, // beyond the first MaxItems sound ones
};

struct NeedsYouAnswer
{
    QList<NeedsYouItem> items;
    QMap<DropRule, int> dropped;

    int droppedCount() const;
};

struct NeedsYou
{
    static constexpr int MaxItems = 7;
    static constexpr int MaxMails = 25;
    static constexpr int MaxTextCharacters = 140;
    static constexpr int MaxDueCharacters = 40;
    static constexpr int MailTextCap = 600;
    static inline const QString SchemaName = QStringLiteral("NeedsYou");
    static const QString Instructions;

    // The prompt: the first MaxMails mails, each in its own delimited block
    // with its id, then the schema. Text that would open or close a block is
    // defused, and mails whose id is no plain token are left out.
    static QString prompt(const QList<BriefMail> &mails);
    static QByteArray generationSchema();
    static QByteArray responseFormat();
    // The ids the prompt carries, the only sources an item may name.
    static QSet<QString> givenIds(const QList<BriefMail> &mails);

    // The sound items of a generated object; a missing "items" array throws.
    static NeedsYouAnswer soundItems(const QJsonObject &content, const QSet<QString> &givenIds);

    // One closing line naming the rules that dropped items ("" when none).
    static QString dropNote(const QMap<DropRule, int> &dropped);
};

// A mail as one delimited block of the prompt, shared by every prompt that
// hands the model several mails.
QString mailBlock(const BriefMail &mail, int textCap);
bool isPlainId(const QString &id);

} // namespace ai

Q_DECLARE_METATYPE(ai::NeedsYouItem)
