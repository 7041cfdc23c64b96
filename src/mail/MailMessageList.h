// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mail/EmailMessage.h"
#include "core/RecordListModel.h"

class MailViewModel;

// The mail tab's rows: each listed message with what the tab shows beside
// it (expanded or not, its summary, its drafted reply), one role each.
class MailMessageList : public RecordListModel<EmailMessage>
{
public:
    enum Role {
        MessageRole = Qt::UserRole + 1,
        MessageIdRole,
        FromDisplayRole,
        SubjectRole,
        SnippetRole,
        RelativeDateRole,
        IsUnreadRole,
        IsExpandedRole,
        SummaryKindRole,
        SummaryTextRole,
        ActionItemRole,
        ShowsActionItemRole,
        ReplyKindRole,
        ReplyMessageRole,
        // Whose the row is, as a list of one Account; empty unless every
        // account is shown.
        AccountsRole,
    };
    static inline const QList<int> SummaryRoles{SummaryKindRole, SummaryTextRole, ActionItemRole,
                                                ShowsActionItemRole};
    static inline const QList<int> ReplyRoles{ReplyKindRole, ReplyMessageRole};

    explicit MailMessageList(const MailViewModel &owner);

protected:
    QString keyOf(const EmailMessage &message) const override { return message.id; }
    QVariant roleData(const EmailMessage &message, int role) const override;

private:
    QVariant summaryData(const QString &id, int role) const;
    QVariant replyData(const QString &id, int role) const;

    const MailViewModel &m_owner;
};
