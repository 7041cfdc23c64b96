// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"
#include "mail/EmailMessage.h"

#include <QHash>
#include <QObject>
#include <QUrl>

// New mail on the desktop's notification service
// (org.freedesktop.Notifications on the session bus): one notice per
// message, sender over subject, with "Open in Gmail"; one "N new messages"
// when more arrive at once. Clicking a notice asks for the popover. Sender
// and subject are strangers' text: the body is escaped where the server
// reads it as markup and sent as it is where it does not.
class MailNotifier : public QObject
{
    Q_OBJECT

public:
    static inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString OpenAction = QStringLiteral("open-in-gmail");
    // Our desktop entry's id, which is also the installed icon's name.
    static inline const QString AppId = QStringLiteral("app.tarnlight.Tarnlight");

    explicit MailNotifier(QObject *parent = nullptr);

    void announce(const Account &account, const QList<EmailMessage> &messages, int count);
    // Tells the user where to find Tarnlight on a desktop without a tray.
    void announceNoTray();

signals:
    void popoverRequested();
    // The notification server took the no-tray notice.
    void noTrayAnnounced();

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    struct Notice
    {
        QString summary, body;
        QUrl thread;
        bool aboutMail = true;
    };
    enum class Capabilities {
        Unknown,
        Asking,
        Known
    };

    void askCapabilities();
    void send(const Notice &notice);
    void notify(const Notice &notice);

    // What the server said it renders, asked once; notices wait for the answer.
    Capabilities m_capabilities = Capabilities::Unknown;
    bool m_bodyMarkup = false;
    QList<Notice> m_waiting;

    // The notices still on screen, by notification id, with their thread
    // links (empty for a summary notice).
    QHash<uint, QUrl> m_threads;
};
