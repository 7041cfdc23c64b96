// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// How the mail tab's rows are kept between runs.

#include "mail/MailViewModel.h"

#include "support/ListCache.h"

using namespace support::listcache;

QJsonArray MailViewModel::cachedRows() const
{
    return writeRows(messages(), [](const EmailMessage &message) {
        return QJsonObject{{QStringLiteral("id"), message.id},
                           {QStringLiteral("threadId"), message.threadId},
                           {QStringLiteral("from"), message.from},
                           {QStringLiteral("subject"), message.subject},
                           {QStringLiteral("snippet"), message.snippet},
                           {QStringLiteral("date"), timeValue(message.date)},
                           {QStringLiteral("isUnread"), message.isUnread}};
    });
}

void MailViewModel::showCachedRows(const QJsonArray &rows)
{
    const auto kept = readRows<EmailMessage>(rows, [](const RowReader &row) {
        return EmailMessage{row.text(u"id"),      row.text(u"threadId"), row.text(u"from"),
                            row.text(u"subject"), row.text(u"snippet"),  row.time(u"date"),
                            row.flag(u"isUnread")};
    });
    noteListed(kept);
    setMessages(kept);
}
