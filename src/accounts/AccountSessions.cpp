#include "accounts/GoogleAuthService.h"

#include "oauth/KeychainStore.h"
#include "shell/records/AuthError.h"
#include "support/Completion.h"

QString GoogleAuthService::keychainItemName(const Account &account)
{
    return QStringLiteral("app.tarnlight.account.") + account.id;
}

QCoro::Task<std::shared_ptr<oauth::AuthSession>>
GoogleAuthService::authSession(const Account &account) const
{
    const oauth::KeychainStore store(keychainItemName(account));
    std::shared_ptr<oauth::AuthSession> session;
    try {
        auto retrieved = awaitCompletion<std::shared_ptr<oauth::AuthSession>>(
            [store](Completion<std::shared_ptr<oauth::AuthSession>> done) {
                store.retrieveAuthSession(std::move(done));
            },
            toError(AuthError::noSession));
        session = co_await std::move(retrieved);
    } catch (const Error &error) {
        // A keyring that could not be read at all (missing, locked) says so:
        // signing in again would not help. Whatever went wrong with the item
        // itself, the remedy is to sign in again.
        if (error.domain() == oauth::KeychainStoreErrorDomain
            && error.code() == oauth::KeychainUnhandled)
            throw;
        throw toError(AuthError::noSession);
    }
    co_return session;
}

void GoogleAuthService::removeSession(const Account &account)
{
    // Started first; a missing item or a failed delete does not stop the sign-out.
    oauth::KeychainStore(keychainItemName(account)).removeAuthSession([](std::optional<Error>) {});
}
