// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/AccountBoundModel.h"

#include "core/Error.h"
#include "core/Timestamps.h"
#include "oauth/AuthSession.h"
#include "support/Connectivity.h"
#include "support/ListCache.h"

#include <QQmlEngine>

namespace {

int noteIntervalMs = 60 * 1000;

} // namespace

AccountBoundModel::AccountBoundModel(QObject *parent, Reach reach) : QObject(parent), m_reach(reach)
{
    connect(&m_noteClock, &QTimer::timeout, this, &AccountBoundModel::renewNote);
    connect(&Connectivity::instance(), &Connectivity::resumed, this, &AccountBoundModel::onResumed);
    connect(&Connectivity::instance(), &Connectivity::onlineChanged, this,
            &AccountBoundModel::onOnlineChanged);
}

AccountBoundModel::~AccountBoundModel() = default;

void AccountBoundModel::attach(GoogleAuthService *auth)
{
    if (m_auth || !auth)
        return;
    m_auth = auth;
    connect(auth, &GoogleAuthService::activeAccountChanged, this, &AccountBoundModel::onShownAccountsChanged);
    connect(auth, &GoogleAuthService::showsAllAccountsChanged, this,
            &AccountBoundModel::onShownAccountsChanged);
    connect(auth, &GoogleAuthService::accountsChanged, this, &AccountBoundModel::onShownAccountsChanged);
    onAttached();
}

void AccountBoundModel::reloadIfListing(const QString &accountID)
{
    if (hasLoaded() && m_listAccount.lists(accountID))
        refresh();
}

bool AccountBoundModel::showsAllAccounts() const
{
    return m_auth && m_auth->showsAllAccounts() && m_reach == Reach::AllAccounts;
}

std::optional<Account> AccountBoundModel::activeAccount() const
{
    return m_auth ? m_auth->activeAccount() : std::nullopt;
}

void AccountBoundModel::onShownAccountsChanged()
{
    // Only a tab that has loaded reloads; a fresh one loads when first shown.
    if (!hasLoaded())
        return;
    const bool all = showsAllAccounts();
    const auto active = activeAccount();
    const QList<Account> shown = all      ? m_auth->accounts()
                                 : active ? QList<Account>{*active}
                                          : QList<Account>();
    if (all != m_listAccount.listsAll()
        || ListAccount::idsOf(shown) != ListAccount::idsOf(m_listAccount.accounts()))
        refresh();
}

QCoro::Task<void> AccountBoundModel::refresh()
{
    const quint64 generation = ++m_loadGeneration;
    if (showsAllAccounts()) {
        co_await refreshAll(generation);
        co_return;
    }
    setAccountNotice({});
    const auto account = activeAccount();
    // Another account's rows are not shown while the new one's are loading.
    if (m_listAccount.bind(account) || !account) {
        clearRows();
        m_rowsListedAt.reset();
        if (account)
            showCache(*account);
    }
    if (!account) {
        setState(LoadState::idle());
        co_return;
    }
    // Offline, nothing is sent: what we have stays on screen.
    if (!Connectivity::instance().isOnline()) {
        setState(offlineState());
        co_return;
    }
    QPointer<AccountBoundModel> self(this);
    // Without the registry (the app going away) a load has nothing to show.
    const auto current = [&] { return self && m_auth && generation == m_loadGeneration; };
    setState(LoadState::loading().noted(staleNote()));
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await m_auth->authSession(*account);
        if (!current())
            co_return;
        const Publish publish = co_await fetch(session, *account);
        if (!current())
            co_return;
        publish();
        keepRows(*account);
        setState(LoadState::loaded());
    } catch (const Error &error) {
        if (current())
            setState(Connectivity::instance().isOnline() ? LoadState::error(error.description())
                                                         : offlineState());
    }
}

QCoro::Task<void> AccountBoundModel::refreshAll(quint64 generation)
{
    const QList<Account> accounts = m_auth->accounts();
    // Every account's rows are not kept between runs: each account's are.
    if (m_listAccount.bindAll(accounts)) {
        clearRows();
        m_rowsListedAt.reset();
        m_fromCache = false;
        setAccountNotice({});
    }
    if (!Connectivity::instance().isOnline()) {
        setState(offlineState());
        co_return;
    }
    QPointer<AccountBoundModel> self(this);
    setState(LoadState::loading());
    // Started together; each account's rows show as soon as they come.
    std::vector<QCoro::Task<std::optional<QString>>> parts;
    for (const Account &account : accounts)
        parts.push_back(loadPart(generation, account));
    QStringList failures;
    for (const auto &part : parts) {
        if (const auto failure = co_await part)
            failures.append(*failure);
    }
    if (!self || generation != m_loadGeneration)
        co_return;
    m_rowsListedAt = QDateTime::currentDateTimeUtc();
    if (!failures.isEmpty() && failures.size() == qsizetype(accounts.size())) {
        setAccountNotice({});
        setState(LoadState::error(failures.join(u'\n')));
        co_return;
    }
    setAccountNotice(failures.join(QStringLiteral(" · ")));
    setState(LoadState::loaded());
}

QCoro::Task<std::optional<QString>> AccountBoundModel::loadPart(quint64 generation, Account account)
{
    QPointer<AccountBoundModel> self(this);
    const auto current = [&] { return self && m_auth && generation == m_loadGeneration; };
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await signedInSession(m_auth, account);
        if (!current())
            co_return std::nullopt;
        const Publish publish = co_await fetch(session, account);
        if (current())
            publish();
    } catch (const Error &error) {
        co_return tr("Couldn't load %1: %2").arg(account.email, error.description());
    }
    co_return std::nullopt;
}

void AccountBoundModel::setAccountNotice(const QString &notice)
{
    if (m_accountNotice == notice)
        return;
    m_accountNotice = notice;
    emit accountNoticeChanged();
}

void AccountBoundModel::showCache(const Account &account)
{
    const QString name = cacheName();
    const auto entry = name.isEmpty() ? std::nullopt : support::listcache::read(account.id, name);
    if (!entry)
        return;
    showCachedRows(entry->rows);
    m_rowsListedAt = entry->savedAt;
    m_fromCache = true;
}

void AccountBoundModel::keepRows(const Account &account)
{
    m_rowsListedAt = QDateTime::currentDateTimeUtc();
    m_fromCache = false;
    if (const QString name = cacheName(); !name.isEmpty())
        support::listcache::write(account.id, name, cachedRows());
}

QString AccountBoundModel::staleNote() const
{
    if (!m_fromCache || !m_rowsListedAt)
        return {};
    return tr("Updated %1").arg(relativeLabel(m_rowsListedAt));
}

LoadState AccountBoundModel::offlineState() const
{
    if (!m_rowsListedAt)
        return LoadState::error(tr("You are offline. The list loads when the network is back."));
    return LoadState::loaded().noted(tr("Offline — updated %1").arg(relativeLabel(m_rowsListedAt)));
}

void AccountBoundModel::onResumed()
{
    if (hasLoaded())
        refresh();
}

void AccountBoundModel::onOnlineChanged()
{
    // A load in flight ends on its own; a shown list only gets its note.
    if (!Connectivity::instance().isOnline() && hasLoaded() && !m_state.isLoading()
        && !m_listAccount.accounts().isEmpty())
        setState(offlineState());
}

void AccountBoundModel::attachToViews()
{
    // The registry the engine's GoogleAuthService stands for.
    if (!m_auth)
        attach(GoogleAuthService::providedTo(qmlEngine(this)));
}

void AccountBoundModel::startRefresh()
{
    attachToViews();
    refresh();
}

void AccountBoundModel::start()
{
    attachToViews();
    if (m_state.isIdle())
        refresh();
}

void AccountBoundModel::setState(const LoadState &state)
{
    if (m_state == state)
        return;
    m_state = state;
    followNote();
    emit stateChanged();
}

void AccountBoundModel::setNoteIntervalForTests(int ms)
{
    noteIntervalMs = ms;
}

void AccountBoundModel::followNote()
{
    if (m_state.note.isEmpty())
        m_noteClock.stop();
    else if (!m_noteClock.isActive())
        m_noteClock.start(noteIntervalMs);
}

void AccountBoundModel::renewNote()
{
    if (m_state.isLoading())
        setState(LoadState::loading().noted(staleNote()));
    else if (m_state.isLoaded() && !Connectivity::instance().isOnline())
        setState(offlineState());
}
