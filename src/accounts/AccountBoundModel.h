// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"
#include "accounts/GoogleAuthService.h"
#include "accounts/ListAccount.h"
#include "core/LoadState.h"

#include <QDateTime>
#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>
#include <optional>

namespace rest {
class Authorizer;
}

// What a tab's view model shares: it is bound to the registry's active
// account, loads its rows for it, and keeps the account the rows were
// listed for. A load overtaken by a later one publishes nothing; a change
// of the active account reloads a tab that has loaded, without the old
// account's rows. Lives as long as its tab; loads still in flight when it
// goes away end without touching it.
class AccountBoundModel : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(AccountBoundModel)
    QML_UNCREATABLE("The base of the tabs' view models")
    Q_PROPERTY(LoadState state READ state NOTIFY stateChanged)
    // One line naming the accounts whose rows could not be loaded while the
    // others show; empty otherwise.
    Q_PROPERTY(QString accountNotice READ accountNotice NOTIFY accountNoticeChanged)

public:
    // Whether the tab can show every account's rows together; when it does,
    // `fetch` runs for each account at once and each publish adds that
    // account's rows to the others.
    enum class Reach {
        ActiveAccount,
        AllAccounts
    };

    explicit AccountBoundModel(QObject *parent = nullptr, Reach reach = Reach::ActiveAccount);
    ~AccountBoundModel() override;

    // Hands over the app's account registry (not owned); a model that has
    // one keeps it.
    Q_INVOKABLE void attach(GoogleAuthService *auth);
    GoogleAuthService *auth() const { return m_auth; }
    // The account the rows were last loaded for (or are being loaded for).
    const std::optional<Account> &listAccount() const { return m_listAccount.account(); }
    const LoadState &state() const { return m_state; }
    const QString &accountNotice() const { return m_accountNotice; }
    // Whether the rows are every account's ("All accounts" is chosen and this
    // tab can show them together).
    bool showsAllAccounts() const;

    // Loads the rows of the active account; idle and empty without one.
    // Never throws: every failure ends in `state`, and a failed reload
    // keeps the earlier rows under the error.
    QCoro::Task<void> refresh();
    // For the views: a load started without waiting, and the one a tab
    // starts when shown (only when it has not loaded, or found no account).
    // A model made by a view binds to the registry of its view's engine.
    Q_INVOKABLE void startRefresh();
    Q_INVOKABLE void start();

    // How often a shown note ("Updated 12 min ago") is said again; tests shorten it.
    static void setNoteIntervalForTests(int ms);

signals:
    void stateChanged();
    void accountNoticeChanged();

protected:
    // Publishes a load's rows; run only while the load is the latest one.
    using Publish = std::function<void()>;

    // Lists the rows through the account's session and returns how to show
    // them; throws Error on failure.
    virtual QCoro::Task<Publish> fetch(std::shared_ptr<rest::Authorizer> session, Account account) = 0;
    // Drops the rows (and what belongs to them) of another account, or when
    // there is no account to list for.
    virtual void clearRows() = 0;
    virtual void onAttached() {}
    // The name the rows are kept under between runs ("mail"), or empty when
    // the rows now listed are not kept.
    virtual QString cacheName() const { return {}; }
    // The rows shown, as kept on disk; and showing them again from what was
    // read back, which may be damaged: rows with missing or ill-typed values
    // are dropped.
    virtual QJsonArray cachedRows() const { return {}; }
    virtual void showCachedRows(const QJsonArray &) {}

    // Whether a load was ever started.
    bool hasLoaded() const { return m_loadGeneration > 0; }
    // Loads again after a change made elsewhere to the account's rows (a new
    // choice in the settings, a notice's action), when they are shown.
    void reloadIfListing(const QString &accountID);
    // The account the rows belong to: the registry's active one, unless a
    // model serves one row's account.
    virtual std::optional<Account> activeAccount() const;
    ListAccount &listBinding() { return m_listAccount; }
    // Notes that these rows (anything with an `id`) were listed for the bound account.
    template<typename Row>
    void noteListed(const QList<Row> &rows)
    {
        QStringList ids;
        for (const Row &row : rows)
            ids.append(row.id);
        m_listAccount.noteRows(ids);
    }
    // The same, for rows listed for one of every account's.
    template<typename Row>
    void noteListed(const QList<Row> &rows, const Account &account)
    {
        QStringList ids;
        for (const Row &row : rows)
            ids.append(row.id);
        m_listAccount.noteRows(ids, account);
    }
    const ListAccount &listBinding() const { return m_listAccount; }

private:
    void attachToViews();
    void onShownAccountsChanged();
    QCoro::Task<void> refreshAll(quint64 generation);
    // Loads and publishes one account's part of every account's rows; the
    // failure's line for the notice, if it failed.
    QCoro::Task<std::optional<QString>> loadPart(quint64 generation, Account account);
    void setAccountNotice(const QString &notice);
    void setState(const LoadState &state);
    void onResumed();
    void onOnlineChanged();
    // Shows the rows kept from an earlier run, if any, until the first load.
    void showCache(const Account &account);
    void keepRows(const Account &account);
    // Cached or earlier rows under an "Offline" note; without any, an error.
    LoadState offlineState() const;
    QString staleNote() const;
    // Says the note's age again; the clock runs only while a note is shown,
    // and the model only while its tab is.
    void followNote();
    void renewNote();

    const Reach m_reach;
    LoadState m_state;
    QString m_accountNotice;
    QPointer<GoogleAuthService> m_auth;
    ListAccount m_listAccount;
    // Counts started loads; only the latest one publishes.
    quint64 m_loadGeneration = 0;
    // When the rows shown were listed: by a load of this model, or (with
    // m_fromCache) by an earlier run.
    std::optional<QDateTime> m_rowsListedAt;
    bool m_fromCache = false;
    QTimer m_noteClock;
};
