// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mail/EmailMessage.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

class GoogleAuthService;

// One message's details as a list row shows them, with its arrival time.
struct ListedDetail
{
    EmailMessage message;
    qint64 arrived = 0; // internalDate, ms since the epoch
};

// The details of one account's listed messages, by id. A Gmail message never
// changes after it arrived except for its labels, so a detail fetched once
// serves every later listing; what a listing answers decides which messages
// show and whether they are unread. Each lister (the mail tab, the unread
// check) keeps what it listed last; a detail no lister lists any more is
// dropped.
class MessageDetails
{
public:
    enum class Lister {
        MailTab,
        UnreadCheck
    };

    std::optional<ListedDetail> find(const QString &id) const;
    bool contains(const QString &id) const { return m_details.contains(id); }
    void insert(const QString &id, const ListedDetail &detail) { m_details.insert(id, detail); }
    void noteListed(Lister lister, const QStringList &ids);
    qsizetype size() const { return m_details.size(); }

private:
    QHash<QString, ListedDetail> m_details;
    std::array<QSet<QString>, 2> m_listed; // by Lister
};

// Every account's details, owned by the registry and forgotten when the
// account signs out. Main thread only.
class MailDetailCache : public QObject
{
    Q_OBJECT

public:
    static MailDetailCache &of(GoogleAuthService &registry);

    // The account's details, made on first use; shared with listings in flight.
    std::shared_ptr<MessageDetails> forAccount(const QString &accountID);

private:
    explicit MailDetailCache(GoogleAuthService &registry);
    void forgetSignedOut();

    GoogleAuthService &m_registry;
    QHash<QString, std::shared_ptr<MessageDetails>> m_accounts;
};
