#pragma once

#include "shell/records/Account.h"
#include "shell/records/EmailMessage.h"

#include <QHash>
#include <QObject>
#include <QUrl>

// New mail on the desktop's notification service
// (org.freedesktop.Notifications on the session bus): one notice per
// message, sender over subject, with "Open in Gmail"; one "N new messages"
// when more arrive at once. Clicking a notice asks for the popover.
class MailNotifier : public QObject
{
    Q_OBJECT

public:
    static inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString OpenAction = QStringLiteral("open-in-gmail");

    explicit MailNotifier(QObject *parent = nullptr);

    void announce(const Account &account, const QList<EmailMessage> &messages, int count);

signals:
    void popoverRequested();

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    void send(const QString &summary, const QString &body, const QUrl &thread);

    // The notices still on screen, by notification id, with their thread
    // links (empty for a summary notice).
    QHash<uint, QUrl> m_threads;
};
