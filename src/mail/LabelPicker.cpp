// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/LabelPicker.h"

#include "mail/GmailLabels.h"
#include "mail/MailLabelChoice.h"

namespace {

// The system labels by the names the web interface shows.
QString displayName(const GmailLabel &label)
{
    if (label.id == u"INBOX")
        return LabelPicker::tr("Inbox");
    if (label.id == u"STARRED")
        return LabelPicker::tr("Starred");
    if (label.id == u"IMPORTANT")
        return LabelPicker::tr("Important");
    return label.name;
}

} // namespace

LabelPicker::LabelPicker(QObject *parent) : ChoicePicker(parent) {}

QCoro::Task<QList<ChoiceEntry>> LabelPicker::list(std::shared_ptr<rest::Authorizer> session)
{
    QList<ChoiceEntry> entries;
    for (const GmailLabel &label : co_await gmail::pickableLabels(session))
        entries.append({label.id, displayName(label), {}, {}});
    co_return entries;
}

AccountChoice &LabelPicker::choiceOf(GoogleAuthService &registry) const
{
    return MailLabelChoice::of(registry);
}
