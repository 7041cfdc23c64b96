// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/ChoicePicker.h"

#include "accounts/AccountChoice.h"
#include "accounts/GoogleAuthService.h"
#include "core/Error.h"
#include "oauth/AuthSession.h"

#include <QQmlEngine>
#include <QVariantMap>

ChoicePicker::ChoicePicker(ChoiceOf choiceOf, QObject *parent) : QObject(parent), m_choiceOf(choiceOf) {}

GoogleAuthService *ChoicePicker::registry()
{
    if (!m_auth)
        m_auth = GoogleAuthService::providedTo(qmlEngine(this));
    return m_auth;
}

QStringList ChoicePicker::chosenIds() const
{
    QStringList kept;
    if (!m_auth)
        return kept;
    for (const QString &id : m_choiceOf(*m_auth).ids(m_accountID))
        for (const ChoiceEntry &entry : m_entries)
            if ((entry.id == id || (!entry.alias.isEmpty() && entry.alias == id)) && !kept.contains(entry.id))
                kept.append(entry.id);
    return kept;
}

QVariantList ChoicePicker::entries() const
{
    const QStringList chosen = chosenIds();
    QVariantList list;
    for (const ChoiceEntry &entry : m_entries)
        list.append(QVariantMap{{QStringLiteral("id"), entry.id},
                                {QStringLiteral("name"), entry.name},
                                {QStringLiteral("colour"), entry.colour},
                                {QStringLiteral("chosen"), chosen.contains(entry.id)}});
    return list;
}

void ChoicePicker::load()
{
    if (!registry())
        return;
    m_loading = true;
    m_errorText.clear();
    emit changed();
    run(m_auth, m_accountID);
}

QCoro::Task<void> ChoicePicker::run(QPointer<GoogleAuthService> auth, QString accountID)
{
    const quint64 generation = ++m_generation;
    const ChoiceOf choiceOf = m_choiceOf;
    QPointer<ChoicePicker> self(this);
    QList<ChoiceEntry> entries;
    QString failure;
    try {
        std::optional<Account> account;
        for (const Account &listed : auth->accounts())
            if (listed.id == accountID)
                account = listed;
        if (!account)
            throw Error(QStringLiteral("tarnlight.choice"), 1, tr("The account is signed out."));
        const auto session = co_await auth->authSession(*account);
        // The picker may be gone by now; the registry owns the choice.
        if (!auth)
            co_return;
        entries = co_await choiceOf(*auth).entries(session);
    } catch (const Error &error) {
        failure = error.description();
    }
    if (!self || generation != m_generation || !m_auth)
        co_return;
    m_loading = false;
    m_errorText = failure;
    if (failure.isEmpty()) {
        m_entries = entries;
        // Entries the provider dropped leave a choice the user made.
        if (m_choiceOf(*m_auth).isChosen(m_accountID))
            m_choiceOf(*m_auth).setIds(m_accountID, chosenIds());
    }
    emit changed();
}

void ChoicePicker::setChosen(const QString &id, bool chosen)
{
    if (!registry())
        return;
    QStringList ids = chosenIds();
    if (chosen && !ids.contains(id))
        ids.append(id);
    else if (!chosen)
        ids.removeAll(id);
    m_choiceOf(*m_auth).setIds(m_accountID, ids);
    emit changed();
}
