// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MailLabelChoice.h"

#include "mail/GmailLabels.h"
#include "mail/GmailService.h"

namespace {

// The system labels by the names the web interface shows.
QString displayName(const GmailLabel &label)
{
    if (label.id == u"INBOX")
        return MailLabelChoice::tr("Inbox");
    if (label.id == u"STARRED")
        return MailLabelChoice::tr("Starred");
    if (label.id == u"IMPORTANT")
        return MailLabelChoice::tr("Important");
    return label.name;
}

} // namespace

MailLabelChoice::MailLabelChoice(GoogleAuthService &registry)
    : AccountChoice(registry, KeyPrefix, {GmailService::InboxLabel})
{}

QCoro::Task<QList<ChoiceEntry>> MailLabelChoice::entries(std::shared_ptr<rest::Authorizer> session) const
{
    QList<ChoiceEntry> entries;
    for (const GmailLabel &label : co_await gmail::pickableLabels(session))
        entries.append({label.id, displayName(label), {}, {}});
    co_return entries;
}
