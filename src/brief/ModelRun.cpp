// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "brief/ModelRun.h"

QList<ai::BriefMail> briefMails(const QList<EmailMessage> &mails)
{
    QList<ai::BriefMail> brief;
    for (const EmailMessage &mail : mails)
        brief.append({mail.id, mail.from, mail.subject, mail.snippet});
    return brief;
}

void ModelRun::reset(const QString &kind, const QString &message)
{
    ++m_run;
    m_kind = kind;
    m_message = message;
    emit changed();
}

void ModelRun::cancel()
{
    if (isRunning())
        reset();
}
