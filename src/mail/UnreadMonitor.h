// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"
#include "mail/EmailMessage.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

class GoogleAuthService;
namespace rest {
class Authorizer;
}

// Reads every account's unread inbox count on the refresh interval, one
// labels.get per account on the session the registry keeps for it.
// Mail that arrived since the previous check is announced through
// newMail(); what was unread at the first check never is. With refresh
// "Off" no timer runs at all. The interval and whether to announce are
// handed in by the app. Main thread only.
class UnreadMonitor : public QObject
{
    Q_OBJECT

public:
    explicit UnreadMonitor(GoogleAuthService &auth, QObject *parent = nullptr);
    ~UnreadMonitor() override;

    // Follows the interval from now on, starting with a check when it is on.
    void start();
    // Minutes between checks; 0 or less is "Off". Followed once started.
    void setRefreshMinutes(int minutes);
    void setNotifyNewMail(bool notify) { m_notify = notify; }
    bool timerActive() const { return m_timer.isActive(); }

    // The last known counts, in account order; an account never read yet is left out.
    QList<QPair<Account, int>> counts() const;
    int total() const;
    // What the tray shows: nothing at 0, "99+" above 99.
    static QString badgeText(int total);
    // "Tarnlight — alex@example.com: 3, mira@example.com: 1". Tray hosts may
    // read a tooltip as markup, so the addresses are escaped for it.
    static QString tooltip(const QList<QPair<Account, int>> &counts);

    // One round over all accounts; a round already running is not doubled.
    // Offline it sends nothing: whoever follows Connectivity::resumed checks again.
    QCoro::Task<void> checkNow();

signals:
    void countsChanged();
    // New unread mail of one account: up to three messages with their
    // headers, or only their number when more arrived at once.
    void newMail(const Account &account, const QList<EmailMessage> &messages, int count);

private:
    struct State
    {
        std::optional<int> count;
        std::optional<QSet<QString>> seen; // unread ids already known; none before the first check
    };
    void followInterval();
    void forgetSignedOut();
    QCoro::Task<void> check(Account account);
    QCoro::Task<void> noteArrivals(Account account, std::shared_ptr<rest::Authorizer> session);

    GoogleAuthService &m_auth;
    int m_refreshMinutes = 0;
    bool m_notify = true;
    bool m_started = false;
    QTimer m_timer;
    QHash<QString, State> m_states;
    bool m_checking = false;
    bool m_checkAgain = false; // asked while a check ran: run once more after it
};
