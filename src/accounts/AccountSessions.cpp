// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/GoogleAuthService.h"

#include "accounts/SessionCache.h"
#include "oauth/AuthSession.h"
#include "oauth/KeychainStore.h"
#include "accounts/AuthError.h"
#include "support/Completion.h"

#include <QPointer>

QString GoogleAuthService::keychainItemName(const Account &account)
{
    return QStringLiteral("app.tarnlight.account.") + account.id;
}

QCoro::Task<std::shared_ptr<oauth::AuthSession>> GoogleAuthService::authSession(const Account &account) const
{
    const QString itemName = keychainItemName(account);
    if (auto session = m_sessions->cached(itemName))
        co_return session;
    std::shared_ptr<oauth::AuthSession> session;
    try {
        auto loaded = awaitCompletion<std::shared_ptr<oauth::AuthSession>>(
            [cache = QPointer<SessionCache>(m_sessions),
             itemName](Completion<std::shared_ptr<oauth::AuthSession>> done) {
                if (cache)
                    cache->load(itemName, std::move(done));
            },
            toError(AuthError::noSession));
        session = co_await std::move(loaded);
    } catch (const Error &error) {
        // A keyring that could not be read at all (missing, locked) says so:
        // signing in again would not help. Whatever went wrong with the item
        // itself, the remedy is to sign in again.
        if (error.domain() == oauth::KeychainStoreErrorDomain && error.code() == oauth::KeychainUnhandled)
            throw;
        throw toError(AuthError::noSession);
    }
    co_return session;
}

QCoro::Task<void> GoogleAuthService::saveSession(const Account &account,
                                                 std::shared_ptr<oauth::AuthState> state)
{
    auto session = std::make_shared<oauth::AuthSession>(std::move(state));
    auto saved = awaitCompletion([cache = QPointer<SessionCache>(m_sessions),
                                  itemName = keychainItemName(account), session](VoidCompletion done) {
        if (cache)
            cache->install(itemName, session, std::move(done));
    });
    co_await std::move(saved);
}

void GoogleAuthService::removeSession(const Account &account)
{
    // Started first; a missing item or a failed delete does not stop the sign-out.
    m_sessions->remove(keychainItemName(account), [](std::optional<Error>) {});
}
