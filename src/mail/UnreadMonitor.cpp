// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/UnreadMonitor.h"

#include "accounts/GoogleAuthService.h"
#include "mail/GmailLabels.h"
#include "mail/GmailService.h"
#include "mail/MessageActions.h"
#include "mail/MessageDetails.h"
#include "oauth/AuthSession.h"
#include "core/Error.h"
#include "support/Connectivity.h"
#include "support/DesktopNotifications.h"

namespace {

// Unread ids compared per check; more than a person reads between checks.
constexpr unsigned TrackedIds = 100;
// More new messages than this make one summary notification.
constexpr int SingleNotices = 3;

} // namespace

UnreadMonitor::UnreadMonitor(GoogleAuthService &auth, QObject *parent) : QObject(parent), m_auth(auth)
{
    connect(&m_timer, &QTimer::timeout, this, [this] { checkNow(); });
    connect(&m_auth, &GoogleAuthService::accountsChanged, this, &UnreadMonitor::forgetSignedOut);
    // Mail read or archived from a notice counts at once.
    connect(&MessageActions::of(m_auth), &MessageActions::changed, this, [this] { checkNow(); });
}

UnreadMonitor::~UnreadMonitor() = default;

void UnreadMonitor::start()
{
    m_started = true;
    followInterval();
}

void UnreadMonitor::setRefreshMinutes(int minutes)
{
    m_refreshMinutes = minutes;
    if (m_started)
        followInterval();
}

void UnreadMonitor::followInterval()
{
    const int minutes = m_refreshMinutes;
    if (minutes <= 0) {
        m_timer.stop();
        return;
    }
    const bool wasRunning = m_timer.isActive();
    m_timer.start(minutes * 60 * 1000);
    if (!wasRunning)
        checkNow();
}

void UnreadMonitor::forgetSignedOut()
{
    QSet<QString> listed;
    for (const Account &account : m_auth.accounts())
        listed.insert(account.id);
    const qsizetype before = m_states.size();
    m_states.removeIf([&](const auto &entry) { return !listed.contains(entry.key()); });
    if (m_states.size() != before)
        emit countsChanged();
}

QList<QPair<Account, int>> UnreadMonitor::counts() const
{
    QList<QPair<Account, int>> list;
    for (const Account &account : m_auth.accounts())
        if (const auto state = m_states.constFind(account.id); state != m_states.cend() && state->count)
            list.append({account, *state->count});
    return list;
}

int UnreadMonitor::total() const
{
    int sum = 0;
    for (const auto &[account, count] : counts())
        sum += count;
    return sum;
}

QString UnreadMonitor::badgeText(int total)
{
    if (total <= 0)
        return {};
    return total > 99 ? QStringLiteral("99+") : QString::number(total);
}

QString UnreadMonitor::tooltip(const QList<QPair<Account, int>> &counts)
{
    QStringList parts;
    for (const auto &[account, count] : counts)
        parts.append(DesktopNotifications::escapeMarkup(account.email) + QStringLiteral(": ")
                     + QString::number(count));
    if (parts.isEmpty())
        return QStringLiteral("Tarnlight");
    return QStringLiteral("Tarnlight — ") + parts.join(QStringLiteral(", "));
}

QCoro::Task<void> UnreadMonitor::checkNow()
{
    // Offline nothing is sent; the network coming back asks for one check.
    if (!Connectivity::instance().isOnline())
        co_return;
    // A check asked for meanwhile (the network back, a notice's action)
    // may see what the running one missed.
    if (m_checking) {
        m_checkAgain = true;
        co_return;
    }
    m_checking = true;
    QPointer<UnreadMonitor> self(this);
    do {
        m_checkAgain = false;
        for (const Account &account : QList<Account>(m_auth.accounts())) {
            co_await check(account);
            if (!self)
                co_return;
        }
    } while (m_checkAgain && Connectivity::instance().isOnline());
    m_checking = false;
    emit countsChanged();
}

QCoro::Task<void> UnreadMonitor::check(Account account)
{
    QPointer<UnreadMonitor> self(this);
    try {
        // The registry reads the keychain once per account and keeps the session.
        const std::shared_ptr<rest::Authorizer> session = co_await m_auth.authSession(account);
        if (!self || !m_auth.accounts().contains(account))
            co_return;
        const int count = co_await gmail::unreadCount(session, GmailService::InboxLabel);
        if (!self || !m_auth.accounts().contains(account))
            co_return;
        State &state = m_states[account.id];
        const bool changed = state.count != count;
        state.count = count;
        // The ids are read only when the count moved: new mail always moves it.
        if (changed || !state.seen)
            co_await noteArrivals(account, session);
    } catch (const Error &) {
        // The last count stays; the next interval tries again.
    }
}

QCoro::Task<void> UnreadMonitor::noteArrivals(Account account, std::shared_ptr<rest::Authorizer> session)
{
    QPointer<UnreadMonitor> self(this);
    const QStringList ids = co_await gmail::unreadIds(session, GmailService::InboxLabel, TrackedIds);
    if (!self || !m_states.contains(account.id))
        co_return;
    const std::shared_ptr<MessageDetails> details = MailDetailCache::of(m_auth).forAccount(account.id);
    details->noteListed(MessageDetails::Lister::UnreadCheck, ids);
    State &state = m_states[account.id];
    const bool first = !state.seen;
    QStringList arrived;
    for (const QString &id : ids)
        if (!first && !state.seen->contains(id))
            arrived.append(id);
    if (first)
        state.seen.emplace();
    for (const QString &id : ids)
        state.seen->insert(id);
    if (arrived.isEmpty() || !m_notify)
        co_return;
    QList<EmailMessage> messages;
    if (arrived.size() <= SingleNotices) {
        // The tab may have fetched them already; what this check fetches it keeps.
        messages = co_await gmail::listedMessages(session, arrived, details);
        // Signed out meanwhile: a notice's actions would fail as that account.
        if (!self || !m_states.contains(account.id))
            co_return;
    }
    emit newMail(account, messages, int(arrived.size()));
}
