// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MailLabelChoice.h"

#include "mail/GmailService.h"

MailLabelChoice::MailLabelChoice(GoogleAuthService &registry)
    : AccountChoice(registry, KeyPrefix, {GmailService::InboxLabel})
{}
