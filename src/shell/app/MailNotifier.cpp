// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/MailNotifier.h"

#include "core/Error.h"
#include "mail/GmailLink.h"
#include "mail/MessageActions.h"
#include "support/UrlOpener.h"

#include <QPointer>

MailNotifier::MailNotifier(GoogleAuthService &registry, QObject *parent)
    : QObject(parent), m_registry(registry)
{}

// A notice that opens the popover when clicked.
DesktopNotice MailNotifier::notice(const QString &summary, const QString &body)
{
    DesktopNotice notice{summary, body, {{DesktopNotifications::DefaultAction, tr("Open Tarnlight")}},
                         {},      {},   {}};
    QPointer<MailNotifier> self(this);
    notice.onAction = [self](const QString &action) {
        if (self && action == DesktopNotifications::DefaultAction)
            emit self->popoverRequested();
    };
    return notice;
}

void MailNotifier::announce(const Account &account, const QList<EmailMessage> &messages, int count)
{
    if (count > messages.size() || messages.isEmpty()) {
        DesktopNotice summary = notice(tr("%1 new messages").arg(count), account.email);
        summary.category = QStringLiteral("email.arrived");
        m_desktop.send(summary);
        return;
    }
    for (const EmailMessage &message : messages)
        announceMessage(account, message);
}

void MailNotifier::announceMessage(const Account &account, const EmailMessage &message)
{
    DesktopNotice mail = notice(message.fromDisplay(), message.subject);
    mail.category = QStringLiteral("email.arrived");
    const QUrl thread = gmail::threadWebLink(account.email, message.threadId);
    if (!message.id.isEmpty())
        mail.actions << qMakePair(MarkReadAction, tr("Mark as read"))
                     << qMakePair(ArchiveAction, tr("Archive"));
    if (thread.isValid())
        mail.actions << qMakePair(OpenAction, tr("Open in Gmail"));
    QPointer<MailNotifier> self(this);
    mail.onAction = [self, account, id = message.id, thread](const QString &action) {
        if (!self)
            return;
        if (action == MarkReadAction || action == ArchiveAction)
            self->change(account, id, action);
        else if (action == OpenAction)
            support::openUrl(thread);
        else if (action == DesktopNotifications::DefaultAction)
            emit self->popoverRequested();
    };
    m_desktop.send(mail);
}

void MailNotifier::announceNoTray()
{
    DesktopNotice told = notice(tr("Tarnlight has no tray icon here."),
                                tr("Open it from the app menu, or enable a tray extension."));
    QPointer<MailNotifier> self(this);
    told.onShown = [self] {
        if (self)
            emit self->noTrayAnnounced();
    };
    m_desktop.send(told);
}

QCoro::Task<void> MailNotifier::change(Account account, QString messageID, QString action)
{
    QPointer<MailNotifier> self(this);
    MessageActions &actions = MessageActions::of(m_registry);
    const bool archive = action == ArchiveAction;
    try {
        // Two awaits, not one on a conditional: GCC 12 mishandles a task
        // temporary chosen by ?: inside co_await.
        if (archive)
            co_await actions.archive(account, messageID);
        else
            co_await actions.markRead(account, messageID);
    } catch (const Error &error) {
        if (self)
            self->m_desktop.send(self->notice(archive ? tr("Couldn't archive the message.")
                                                      : tr("Couldn't mark the message as read."),
                                              error.description()));
    }
}
