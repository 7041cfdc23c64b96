// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"

#include <QObject>
#include <QStringList>
#include <QVariantList>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

namespace oauth {
class AuthSession;
class AuthState;
class RedirectHTTPHandler;
} // namespace oauth

class QQmlEngine;
class QSettings;
class SessionCache;

// The one registry of signed-in accounts and of which one is active, kept in
// the user's settings store. Each account's tokens live in its own keychain
// item; the registry keeps one session per account in memory, read from that
// item on first use and written back whenever a refresh changes its tokens.
// Views see it as the singleton GoogleAuthService of Tarnlight.Accounts
// (RegistryForViews.h).
class GoogleAuthService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList accounts READ accountsForViews NOTIFY accountsChanged)
    Q_PROPERTY(QString activeAccountID READ activeAccountIDOrEmpty NOTIFY activeAccountIDChanged)
    Q_PROPERTY(QVariant activeAccount READ activeAccountForViews NOTIFY activeAccountChanged)
    // "All accounts" is chosen in the switcher, and two or more are signed in.
    Q_PROPERTY(bool showsAllAccounts READ showsAllAccounts NOTIFY showsAllAccountsChanged)

public:
    static inline const QString accountsKey = QStringLiteral("tarnlight.accounts");
    static inline const QString activeKey = QStringLiteral("tarnlight.activeAccountID");
    // Kept beside the active id, which stays the account last chosen alone.
    static inline const QString allAccountsKey = QStringLiteral("tarnlight.allAccounts");

    // Uses `store` when given (not owned), otherwise the user's settings.
    explicit GoogleAuthService(QSettings *store = nullptr, QObject *parent = nullptr);
    ~GoogleAuthService() override;

    // Makes the registry the one the engine's views see (not owned); before
    // the engine loads the first view that uses it.
    static void provideTo(QQmlEngine &engine, GoogleAuthService &registry);
    // The registry provided to the engine; null when none was, or it is gone.
    static GoogleAuthService *providedTo(const QQmlEngine *engine);

    const QList<Account> &accounts() const { return m_accounts; }
    const std::optional<QString> &activeAccountID() const { return m_activeAccountID; }
    // The listed account whose id is the active id; absent otherwise.
    std::optional<Account> activeAccount() const;

    // The tabs show every account's rows at once; the active account stays
    // the one last chosen alone (the brief and the notices keep using it).
    bool showsAllAccounts() const { return m_allAccounts && m_accounts.size() >= 2; }
    // The accounts the tabs show: all of them, or the active one (or none).
    QList<Account> shownAccounts() const;
    // Chooses "All accounts"; nothing with fewer than two accounts.
    Q_INVOKABLE void showAllAccounts();

    // Makes a listed account active (compared by id) and ends "All
    // accounts"; unlisted: no change.
    Q_INVOKABLE void setActive(const Account &account);
    Q_INVOKABLE void setActiveByID(const QString &accountID);
    // Drops the account's session, deletes its keychain item, then removes
    // it from the list.
    Q_INVOKABLE void signOut(const Account &account);

    // The settings store the index is kept in; the areas keep their
    // per-account choices beside it and forget them when the account leaves.
    QSettings &settingsStore() const { return *m_store; }

    // The account's authorizing session: the one in memory, or read from its
    // keychain item on first use; throws AuthError::noSession's Error when
    // there is none. Every operation of an account shares this session.
    QCoro::Task<std::shared_ptr<oauth::AuthSession>> authSession(const Account &account) const;
    // The keychain item of an account: "app.tarnlight.account." + its id.
    static QString keychainItemName(const Account &account);

    // Signs in a Google account in the default browser and registers it as
    // the active account; throws the failing step's Error. Main thread.
    QCoro::Task<void> addAccount();
    // Whether a sign-in is waiting for the browser's redirect.
    bool hasPendingSignIn() const { return m_pendingRedirectHandler != nullptr; }

signals:
    void accountsChanged();
    void activeAccountIDChanged();
    void activeAccountChanged();
    void showsAllAccountsChanged();
    void pendingRedirectHandlerChanged();

protected:
    // Registers an account at the end of a sign-in: replaced in place when
    // its id is listed, appended otherwise.
    void upsert(const Account &account, bool makeActive);
    // The account an auth state stands for, from its ID token's claims.
    static Account makeAccount(const oauth::AuthState &authState);

private:
    void loadIndex();
    void persistIndex();
    void setAccounts(const QList<Account> &accounts, bool forceNotify = false);
    void setActiveAccountID(const std::optional<QString> &id);
    void setAllAccounts(bool all);
    // Drops the session and deletes the account's keychain item; failures
    // are ignored.
    void removeSession(const Account &account);
    // Saves a signed-in session as the account's item and its session.
    QCoro::Task<void> saveSession(const Account &account, std::shared_ptr<oauth::AuthState> state);
    void setPendingRedirectHandler(std::shared_ptr<oauth::RedirectHTTPHandler> handler);

    QVariantList accountsForViews() const;
    QString activeAccountIDOrEmpty() const { return m_activeAccountID.value_or(QString()); }
    QVariant activeAccountForViews() const;

    QSettings *m_store;
    std::unique_ptr<QSettings> m_ownedStore;
    SessionCache *m_sessions;
    QList<Account> m_accounts;
    std::optional<QString> m_activeAccountID;
    bool m_allAccounts = false;
    // Keeps the loopback listener of a sign-in in progress alive.
    std::shared_ptr<oauth::RedirectHTTPHandler> m_pendingRedirectHandler;
};
