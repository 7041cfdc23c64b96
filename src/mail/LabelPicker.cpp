// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/LabelPicker.h"

#include "accounts/GoogleAuthService.h"
#include "mail/GmailLabels.h"
#include "mail/MailLabelChoice.h"
#include "oauth/AuthSession.h"
#include "core/Error.h"

#include <QQmlEngine>
#include <QVariantMap>

namespace {

// The system labels by the names the web interface shows.
QString displayName(const GmailLabel &label)
{
    if (label.id == u"INBOX")
        return LabelPicker::tr("Inbox");
    if (label.id == u"STARRED")
        return LabelPicker::tr("Starred");
    if (label.id == u"IMPORTANT")
        return LabelPicker::tr("Important");
    return label.name;
}

} // namespace

LabelPicker::LabelPicker(QObject *parent) : QObject(parent) {}

GoogleAuthService *LabelPicker::registry()
{
    if (!m_auth)
        m_auth = GoogleAuthService::providedTo(qmlEngine(this));
    return m_auth;
}

QVariantList LabelPicker::labels() const
{
    const QStringList chosen = m_auth ? MailLabelChoice::of(*m_auth).labelIds(m_accountID) : QStringList();
    QVariantList list;
    for (const Entry &entry : m_entries)
        list.append(QVariantMap{{QStringLiteral("id"), entry.id},
                                {QStringLiteral("name"), entry.name},
                                {QStringLiteral("chosen"), chosen.contains(entry.id)}});
    return list;
}

void LabelPicker::load()
{
    if (!registry())
        return;
    m_loading = true;
    m_errorText.clear();
    emit changed();
    run(m_auth, m_accountID);
}

QCoro::Task<void> LabelPicker::run(QPointer<GoogleAuthService> auth, QString accountID)
{
    const quint64 generation = ++m_generation;
    QPointer<LabelPicker> self(this);
    QList<Entry> entries;
    QString failure;
    try {
        std::optional<Account> account;
        for (const Account &listed : auth->accounts())
            if (listed.id == accountID)
                account = listed;
        if (!account)
            throw Error(QStringLiteral("tarnlight.labels"), 1, tr("The account is signed out."));
        const auto session = co_await auth->authSession(*account);
        for (const GmailLabel &label : co_await gmail::pickableLabels(session))
            entries.append({label.id, displayName(label)});
    } catch (const Error &error) {
        failure = error.description();
    }
    if (!self || generation != m_generation)
        co_return;
    m_loading = false;
    m_errorText = failure;
    if (failure.isEmpty()) {
        m_entries = entries;
        pruneChoice();
    }
    emit changed();
}

void LabelPicker::pruneChoice()
{
    if (!m_auth)
        return;
    MailLabelChoice &choice = MailLabelChoice::of(*m_auth);
    QStringList kept;
    for (const QString &id : choice.labelIds(m_accountID))
        for (const Entry &entry : m_entries)
            if (entry.id == id)
                kept.append(id);
    choice.setLabelIds(m_accountID, kept);
}

void LabelPicker::setChosen(const QString &labelID, bool chosen)
{
    if (!registry())
        return;
    MailLabelChoice &choice = MailLabelChoice::of(*m_auth);
    QStringList ids = choice.labelIds(m_accountID);
    if (chosen && !ids.contains(labelID))
        ids.append(labelID);
    else if (!chosen)
        ids.removeAll(labelID);
    choice.setLabelIds(m_accountID, ids);
    emit changed();
}
