// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Shared by the mail, calendar and Drive view-model tests: a registry over a
// private settings file, sessions minted by the sandbox and saved in the real
// (private) keychain, and a recorder in place of the browser.

#include "../oauth/OAuthTestSupport.h"
#include "Fixture.h"
#include "accounts/GoogleAuthService.h"
#include "support/ListCache.h"
#include "oauth/AuthSession.h"
#include "oauth/KeychainStore.h"
#include "support/UrlOpener.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>

namespace vmtest {

// An account whose id (and so keychain item) belongs to this test process
// only, so test executables sharing one keyring never overwrite each other.
inline Account account(const QString &name)
{
    const QString id = QStringLiteral("vm-%1-%2").arg(QCoreApplication::applicationPid()).arg(name);
    return Account{id, name + QStringLiteral("@example.com"), name};
}

// The same with a display name, and an address made from it.
inline Account account(const QString &key, const QString &name)
{
    const Account base = account(key);
    return Account{base.id, name.toLower().replace(u' ', u'.') + QStringLiteral("@example.com"), name};
}

// What the tests of a tab share, inherited beside QObject: the sandbox as
// the provider and accounts whose sessions the private keychain keeps.
struct TabFixture
{
    std::unique_ptr<Sandbox> m_sandbox;
    const Account m_alex = account(QStringLiteral("alex"));
    const Account m_mira = account(QStringLiteral("mira"));
    const Account m_sam = account(QStringLiteral("sam"));
};

// Whether the account's keychain item is there.
inline bool sessionSaved(const Account &account)
{
    const auto outcome = runTask(awaitCompletion<std::shared_ptr<oauth::AuthSession>>(
        [&](Completion<std::shared_ptr<oauth::AuthSession>> done) {
            oauth::KeychainStore(GoogleAuthService::keychainItemName(account))
                .retrieveAuthSession(std::move(done));
        }));
    return outcome.value && *outcome.value;
}

// The app's registry, loaded from a private settings file listing the accounts.
class Registry
{
public:
    Registry(const QList<Account> &accounts, const std::optional<QString> &activeID)
    {
        m_store = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("settings.ini")),
                                              QSettings::IniFormat);
        QJsonArray list;
        for (const Account &account : accounts)
            list.append(account.toJson());
        m_store->setValue(GoogleAuthService::accountsKey, QJsonDocument(list).toJson(QJsonDocument::Compact));
        if (activeID)
            m_store->setValue(GoogleAuthService::activeKey, *activeID);
        m_store->sync();
        m_service = std::make_unique<GoogleAuthService>(m_store.get());
        m_listed = accounts;
    }
    // A sign-out removes its keychain item in the background: that removal
    // must not land on the next test's saved session.
    ~Registry()
    {
        for (const Account &account : std::as_const(m_listed))
            if (!m_service->accounts().contains(account))
                tltest::waitUntil([&] { return !sessionSaved(account); });
    }
    GoogleAuthService *get() const { return m_service.get(); }

private:
    QList<Account> m_listed;
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;
    std::unique_ptr<GoogleAuthService> m_service;
};

// The three ways of having no active account: no registry at all, an empty
// one, and one whose active id names no listed account.
class WithoutActiveAccount
{
public:
    explicit WithoutActiveAccount(const Account &listed)
        : m_empty({}, std::nullopt), m_unknownActive({listed}, QStringLiteral("someone-else"))
    {}
    QList<GoogleAuthService *> registries() const { return {nullptr, m_empty.get(), m_unknownActive.get()}; }

private:
    Registry m_empty;
    Registry m_unknownActive;
};

// Saves, under the account's keychain item, a session with tokens the
// sandbox minted for `sub`, as a sign-in would.
inline bool saveSession(Sandbox &sandbox, const Account &account, const QString &sub = Sandbox::AlexSub)
{
    const auto session = std::make_shared<oauth::AuthSession>(oauthtest::mintedState(sandbox, 3600, sub));
    const QString item = GoogleAuthService::keychainItemName(account);
    const auto outcome = runTask(awaitCompletion(
        [&](VoidCompletion done) { oauth::KeychainStore(item).save(session, std::move(done)); }));
    return outcome.finished && !outcome.error;
}

// An account signed in with the tokens of a seeded one.
struct Session
{
    Account account;
    QString sub = Sandbox::AlexSub;
};

// Seed data back, then a saved session for each account, as sign-ins leave
// them, and no rows kept from an earlier test; the request log then starts empty.
inline bool resetWithSessions(Sandbox &sandbox, const QList<Session> &sessions)
{
    sandbox.reset();
    for (const Session &session : sessions) {
        support::listcache::removeAccount(session.account.id);
        if (!saveSession(sandbox, session.account, session.sub))
            return false;
    }
    sandbox.clearLog();
    return true;
}

inline void removeSession(const Account &account)
{
    runTask(awaitCompletion([&](VoidCompletion done) {
        oauth::KeychainStore(GoogleAuthService::keychainItemName(account)).removeAuthSession(std::move(done));
    }));
}

// Stands in for the browser: records every URL the app asks to open.
struct OpenedUrls
{
    QList<QUrl> urls;
    support::ScopedUrlOpener guard{[this](const QUrl &url) {
        urls.append(url);
        return true;
    }};
};

// Logged requests (not control calls) whose path starts with `prefix`.
inline QList<QJsonObject> requestsTo(Sandbox &sandbox, const QString &prefix, const QString &method = {})
{
    QList<QJsonObject> found;
    for (const QJsonValue &value : sandbox.requestLog()) {
        const QJsonObject entry = value.toObject();
        if (entry.value(QStringLiteral("path")).toString().startsWith(prefix)
            && (method.isEmpty() || entry.value(QStringLiteral("method")).toString() == method))
            found.append(entry);
    }
    return found;
}

// A view model's rows, mirrored into a list model (`List<Record>`, the
// view models' own kind) that outlives it: a late answer reaching a dropped
// view model must leave them as they were.
template<typename Record, template<typename> class List>
class KeptRows final : public List<Record>
{
public:
    template<typename ViewModel, typename Changed, typename Rows>
    KeptRows(ViewModel &model, Changed changed, Rows rows)
    {
        this->assign((model.*rows)());
        QObject::connect(&model, changed, this, [this, &model, rows] { this->assign((model.*rows)()); });
    }
    QVariant data(const QModelIndex &, int) const override { return {}; }

protected:
    QString keyOf(const Record &record) const override { return record.id; }
};

// Holds the next request to `route` (say "GET /gmail/v1/users/me/messages")
// for `ms` before the sandbox answers it.
inline void holdNextRequest(Sandbox &sandbox, const QString &route, int ms)
{
    sandbox.injectFault({{"route", route}, {"delayMs", ms}});
}

// True once every held request has reached the sandbox.
inline bool heldRequestsArrived(Sandbox &sandbox)
{
    return sandbox.pendingFaults() == 0;
}

using tltest::inKeyring;

} // namespace vmtest
