// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/AccountBoundModel.h"

#include "core/Error.h"
#include "oauth/AuthSession.h"

#include <QQmlEngine>

AccountBoundModel::AccountBoundModel(QObject *parent) : QObject(parent) {}

AccountBoundModel::~AccountBoundModel() = default;

void AccountBoundModel::attach(GoogleAuthService *auth)
{
    if (m_auth || !auth)
        return;
    m_auth = auth;
    connect(auth, &GoogleAuthService::activeAccountChanged, this, &AccountBoundModel::onActiveAccountChanged);
    onAttached();
}

std::optional<Account> AccountBoundModel::activeAccount() const
{
    return m_auth ? m_auth->activeAccount() : std::nullopt;
}

void AccountBoundModel::onActiveAccountChanged()
{
    // Only a tab that has loaded reloads; a fresh one loads when first shown.
    const auto active = activeAccount();
    const QString activeID = active ? active->id : QString();
    const QString listID = listAccount() ? listAccount()->id : QString();
    if (hasLoaded() && activeID != listID)
        refresh();
}

QCoro::Task<void> AccountBoundModel::refresh()
{
    const quint64 generation = ++m_loadGeneration;
    const auto account = activeAccount();
    // Another account's rows are not shown while the new one's are loading.
    if (m_listAccount.bind(account) || !account)
        clearRows();
    if (!account) {
        setState(LoadState::idle());
        co_return;
    }
    QPointer<AccountBoundModel> self(this);
    const auto current = [&] { return self && generation == m_loadGeneration; };
    setState(LoadState::loading());
    try {
        const std::shared_ptr<rest::Authorizer> session = co_await m_auth->authSession(*account);
        if (!current())
            co_return;
        const Publish publish = co_await fetch(session, *account);
        if (!current())
            co_return;
        publish();
        setState(LoadState::loaded());
    } catch (const Error &error) {
        if (current())
            setState(LoadState::error(error.description()));
    }
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
    emit stateChanged();
}
