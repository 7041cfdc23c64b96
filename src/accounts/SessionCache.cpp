// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/SessionCache.h"

#include "oauth/AuthSession.h"
#include "oauth/KeychainStore.h"

#include <QMetaObject>
#include <QPointer>

SessionCache::SessionCache(QObject *parent) : QObject(parent) {}

SessionCache::~SessionCache()
{
    // Sessions still held by running operations must not call back into us.
    for (const Entry &entry : std::as_const(m_sessions))
        entry.session->authState()->setStateChangeHandler(nullptr);
}

SessionCache::SessionPtr SessionCache::cached(const QString &itemName) const
{
    const auto it = m_sessions.constFind(itemName);
    return it == m_sessions.constEnd() ? nullptr : it->session;
}

void SessionCache::enqueue(const QString &itemName, Step step)
{
    auto it = m_queues.find(itemName);
    if (it != m_queues.end()) {
        it->push_back(std::move(step));
        return;
    }
    m_queues.insert(itemName, {});
    QPointer<SessionCache> self(this);
    step([self, itemName] {
        if (self)
            self->runNext(itemName);
    });
}

void SessionCache::runNext(const QString &itemName)
{
    auto it = m_queues.find(itemName);
    if (it == m_queues.end())
        return;
    if (it->empty()) {
        m_queues.erase(it);
        return;
    }
    Step step = std::move(it->front());
    it->pop_front();
    QPointer<SessionCache> self(this);
    step([self, itemName] {
        if (self)
            self->runNext(itemName);
    });
}

void SessionCache::load(const QString &itemName, Completion<SessionPtr> done)
{
    if (SessionPtr session = cached(itemName)) {
        QMetaObject::invokeMethod(
            this, [done, session] { done(session, std::nullopt); }, Qt::QueuedConnection);
        return;
    }
    if (auto it = m_loading.find(itemName); it != m_loading.end()) {
        it->waiters.append(std::move(done));
        return;
    }
    const quint64 loadID = ++m_nextLoadID;
    m_loading.insert(itemName, Loading{loadID, {std::move(done)}});
    QPointer<SessionCache> self(this);
    enqueue(itemName, [self, itemName, loadID](std::function<void()> next) {
        const auto it = self->m_loading.constFind(itemName);
        if (it == self->m_loading.constEnd() || it->id != loadID) {
            next(); // settled meanwhile by a sign-in or a sign-out
            return;
        }
        oauth::KeychainStore(itemName).retrieveAuthSession(
            [self, itemName, loadID, next](std::optional<SessionPtr> session, std::optional<Error> error) {
                if (self)
                    self->loaded(itemName, loadID, session.value_or(nullptr), error);
                next();
            });
    });
}

void SessionCache::loaded(const QString &itemName, quint64 loadID, const SessionPtr &session,
                          const std::optional<Error> &error)
{
    const auto it = m_loading.find(itemName);
    if (it == m_loading.end() || it->id != loadID)
        return;
    const QList<Completion<SessionPtr>> waiters = m_loading.take(itemName).waiters;
    if (session)
        adopt(itemName, session);
    for (const auto &waiter : waiters)
        waiter(session ? std::optional<SessionPtr>(session) : std::nullopt, error);
}

void SessionCache::install(const QString &itemName, const SessionPtr &session, VoidCompletion done)
{
    QPointer<SessionCache> self(this);
    enqueue(itemName, [self, itemName, session, done](std::function<void()> next) {
        oauth::KeychainStore(itemName).save(
            session, itemName, [self, itemName, session, done, next](std::optional<Error> error) {
                // Adopted before the next queued step: a write-back of the
                // replaced session queued meanwhile then finds it gone.
                if (!error && self) {
                    self->adopt(itemName, session);
                    self->settleWaiters(itemName, session);
                }
                done(error);
                next();
            });
    });
}

void SessionCache::remove(const QString &itemName, VoidCompletion done)
{
    forget(itemName);
    settleWaiters(itemName, nullptr);
    QPointer<SessionCache> self(this);
    enqueue(itemName, [self, itemName, done](std::function<void()> next) {
        self->forget(itemName); // a sign-in saved meanwhile is signed out too
        oauth::KeychainStore(itemName).removeAuthSession([done, next](std::optional<Error> error) {
            done(error);
            next();
        });
    });
}

void SessionCache::adopt(const QString &itemName, const SessionPtr &session)
{
    forget(itemName);
    m_sessions.insert(itemName, Entry{session});
    QPointer<SessionCache> self(this);
    const oauth::AuthSession *identity = session.get();
    session->authState()->setStateChangeHandler([self, itemName, identity] {
        if (self)
            self->writeBack(itemName, identity);
    });
}

void SessionCache::forget(const QString &itemName)
{
    const auto it = m_sessions.find(itemName);
    if (it == m_sessions.end())
        return;
    it->session->authState()->setStateChangeHandler(nullptr);
    m_sessions.erase(it);
}

// One write per burst of changes: the queued write archives the state as it
// is when its turn comes.
void SessionCache::writeBack(const QString &itemName, const oauth::AuthSession *identity)
{
    const auto it = m_sessions.find(itemName);
    if (it == m_sessions.end() || it->session.get() != identity || it->writeQueued)
        return;
    it->writeQueued = true;
    QPointer<SessionCache> self(this);
    enqueue(itemName, [self, itemName, identity](std::function<void()> next) {
        const auto it = self->m_sessions.find(itemName);
        if (it == self->m_sessions.end() || it->session.get() != identity) {
            next(); // signed out or replaced meanwhile
            return;
        }
        it->writeQueued = false;
        // A failure is not reported: the tokens stay in use in memory and
        // the next change writes them again.
        oauth::KeychainStore(itemName).save(it->session, itemName, [next](std::optional<Error>) { next(); });
    });
}

void SessionCache::settleWaiters(const QString &itemName, const SessionPtr &session)
{
    const auto it = m_loading.find(itemName);
    if (it == m_loading.end())
        return;
    const QList<Completion<SessionPtr>> waiters = m_loading.take(itemName).waiters;
    const Error gone(oauth::KeychainStoreErrorDomain, oauth::KeychainPasswordNotFound,
                     QVariantMap{{QStringLiteral("itemName"), itemName}});
    for (const auto &waiter : waiters) {
        if (session)
            waiter(session, std::nullopt);
        else
            waiter(std::nullopt, gone);
    }
}
