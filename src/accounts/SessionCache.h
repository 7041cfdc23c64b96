// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/Completion.h"

#include <QHash>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>

namespace oauth {
class AuthSession;
}

// The one in-memory session of each account, keyed by its keychain item
// name, with the item kept in step: a session read from the keychain on first
// use is handed to every later caller, so concurrent operations share one
// refresh; every change of its token state (a refresh) is written back in one
// replacing write. A failed write leaves the new tokens in use in memory and
// is made again at the next change.
//
// Keychain work on one item runs one operation at a time, in order, so a
// write-back can never land after a sign-out's delete or a new sign-in's
// save. Main thread only.
class SessionCache : public QObject
{
public:
    using SessionPtr = std::shared_ptr<oauth::AuthSession>;

    explicit SessionCache(QObject *parent = nullptr);
    ~SessionCache() override;

    // The item's session when one is in memory.
    SessionPtr cached(const QString &itemName) const;
    // Reads the item once; callers arriving meanwhile wait for the same read.
    // Reports later, with the session or the keychain store's error.
    void load(const QString &itemName, Completion<SessionPtr> done);
    // Saves a signed-in session over the item; once saved, it is the item's
    // session in memory. A failed save changes nothing.
    void install(const QString &itemName, const SessionPtr &session, VoidCompletion done);
    // Forgets the item's session now and deletes the item after any
    // keychain work already queued for it.
    void remove(const QString &itemName, VoidCompletion done);

private:
    using Step = std::function<void(std::function<void()> next)>;
    struct Loading
    {
        quint64 id = 0;
        QList<Completion<SessionPtr>> waiters;
    };
    struct Entry
    {
        SessionPtr session;
        bool writeQueued = false;
    };

    void enqueue(const QString &itemName, Step step);
    void runNext(const QString &itemName);
    void loaded(const QString &itemName, quint64 loadID, const SessionPtr &session,
                const std::optional<Error> &error);
    void adopt(const QString &itemName, const SessionPtr &session);
    void forget(const QString &itemName);
    void writeBack(const QString &itemName, const oauth::AuthSession *session);
    void settleWaiters(const QString &itemName, const SessionPtr &session);

    QHash<QString, Entry> m_sessions;
    QHash<QString, Loading> m_loading;
    QHash<QString, std::deque<Step>> m_queues; // present while a step runs
    quint64 m_nextLoadID = 0;
};
