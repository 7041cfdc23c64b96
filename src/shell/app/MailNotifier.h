// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"
#include "mail/EmailMessage.h"
#include "support/DesktopNotifications.h"

#include <QObject>

#include <qcoro/qcorotask.h>

class GoogleAuthService;

// New mail on the desktop's notification service: one notice per message,
// sender over subject, with "Mark as read", "Archive" and "Open in Gmail";
// one "N new messages" when more arrive at once, which only opens Tarnlight.
// Clicking a notice asks for the popover. The first two change the message
// at Gmail for its account; a change Gmail refuses gets a notice with the
// reason. Sender and subject are strangers' text and reach the server as text.
class MailNotifier : public QObject
{
    Q_OBJECT

public:
    static inline const QString OpenAction = QStringLiteral("open-in-gmail");
    static inline const QString MarkReadAction = QStringLiteral("mark-read");
    static inline const QString ArchiveAction = QStringLiteral("archive");

    explicit MailNotifier(GoogleAuthService &registry, QObject *parent = nullptr);

    void announce(const Account &account, const QList<EmailMessage> &messages, int count);
    // Tells the user where to find Tarnlight on a desktop without a tray.
    void announceNoTray();

signals:
    void popoverRequested();
    // The notification server took the no-tray notice.
    void noTrayAnnounced();

private:
    void announceMessage(const Account &account, const EmailMessage &message);
    DesktopNotice notice(const QString &summary, const QString &body);
    QCoro::Task<void> change(Account account, QString messageID, QString action);

    GoogleAuthService &m_registry;
    DesktopNotifications m_desktop;
};
