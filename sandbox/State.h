// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <memory>
#include <mutex>

struct Options
{
    int port = 0;
    QString dataDir; // empty: uploaded bytes are hashed and counted, then dropped
    QString clientId = QStringLiteral("tarnlight-sandbox.apps.googleusercontent.com");
    QString clientSecret = QStringLiteral("sandbox-secret");
    bool requireSecret = true; // off: token requests without a secret pass, as for a public client
    bool rotateRefreshTokens = false;
    int tokenLifetime = 3600;
    QString model = QStringLiteral("llama3.2");
    qint64 granularity = 256 * 1024;
    qint64 inlineBodyLimit = 64 * 1024; // larger message parts come as attachments
    int delayMs = 0;
};

struct Account
{
    QString sub, email, name, givenName, familyName;
};

using HeaderList = QList<QPair<QString, QString>>;

struct MessagePart
{
    QString mimeType;
    HeaderList headers;
    QByteArray data; // decoded bytes of a leaf part
    QString filename;
    QList<MessagePart> parts;
};

struct Message
{
    QString id, threadId;
    QStringList labelIds;
    QDateTime internalDate;
    QString snippet;
    MessagePart payload;
};

// A user label as the label list shows it.
struct Label
{
    QString id, name;
    QString messageListVisibility = QStringLiteral("show");
    QString labelListVisibility = QStringLiteral("labelShow");
};

struct Draft
{
    QString id, messageId, threadId;
    QByteArray raw; // the RFC 2822 text as sent, decoded
};

struct Attendee
{
    QString email, displayName, responseStatus = QStringLiteral("needsAction");
    bool resource = false, self = false, organizer = false;
};

struct EventAttachment
{
    QString title, fileUrl, mimeType, iconLink;
};

struct Event
{
    QString id;
    QString calendar; // empty: the owner's primary calendar
    std::optional<QString> summary, location, hangoutLink;
    QString description;
    QString videoUri;                            // the conference's video entry point
    std::optional<QList<int>> reminderOverrides; // popup minutes; absent: the calendar's default
    QList<EventAttachment> attachments;
    bool allDay = false, hasStart = true;
    QDate startDate, endDate; // all-day (end exclusive)
    QDateTime start, end;     // timed
    QList<Attendee> attendees;
    int weeklyInstances = 0; // > 0: a weekly series with that many instances
};

struct DriveFile
{
    QString id, name, mimeType, parent;
    QDateTime created, modified;
    qint64 size = -1; // -1: a Google type without size
    QString md5, sha256;
    bool trashed = false;
    bool hasName = true;
};

struct Upload
{
    QString id, sub, name, mimeType, parent;
    qint64 total = -1;
    qint64 received = 0;
    QString status = QStringLiteral("active");
    std::unique_ptr<QCryptographicHash> sha256 = std::make_unique<QCryptographicHash>(
        QCryptographicHash::Sha256);
    std::unique_ptr<QCryptographicHash> md5 = std::make_unique<QCryptographicHash>(QCryptographicHash::Md5);
    std::unique_ptr<QFile> file;
    QString fileId;
    bool busy = false; // a chunk is being written (outside the lock)
};

// A calendar besides the owner's primary one.
struct CalendarEntry
{
    QString id, summary, colour;
};

struct AccountData
{
    QList<Message> messages; // newest first
    QList<Draft> drafts;
    QList<Label> labels; // user labels; the system ones are fixed
    QList<Event> events;
    QList<CalendarEntry> calendars; // after the primary one
    QString rootId;
    QMap<QString, DriveFile> files;
};

struct AccessGrant
{
    QString sub, scope;
    QDateTime expiry;
};
struct RefreshGrant
{
    QString sub, scope;
    bool revoked = false;
    bool spent = false; // replaced by a rotation; presenting it again revokes the grant
};
struct CodeGrant
{
    QString sub, clientId, redirectUri, challenge, scope, nonce;
    QDateTime expiry;
    bool used = false;
    QString refreshToken; // issued from this code (revoked if the code is replayed)
};

// Everything the sandbox remembers, behind one lock. Handlers take `mutex`
// for every read or write and never sleep or stream while holding it.
struct State
{
    std::mutex mutex;
    Options options;
    QString baseUrl;
    QDateTime seededAt;
    int tokenLifetime = 3600;
    bool requireSecret = true;
    bool rotateRefreshTokens = false;
    qint64 granularity = 0;
    qint64 inlineBodyLimit = 0;
    QSet<QString> shortPages;           // subs whose event and file lists come in short and empty pages
    std::condition_variable uploadIdle; // signalled when a chunk write ends
    int serial = 0;

    QList<Account> accounts;
    QHash<QString, AccountData> data; // by sub
    QHash<QString, AccessGrant> accessTokens;
    QHash<QString, RefreshGrant> refreshTokens;
    QHash<QString, CodeGrant> codes;
    QHash<QString, std::shared_ptr<Upload>> uploads;
    QStringList uploadOrder; // ids in the order the uploads started

    QString consentSub;                               // empty: login_hint or the first account
    QString consentOutcome = QStringLiteral("grant"); // or "access_denied", "wrong_state", "wrong_issuer",
                                                      // "no_issuer"
    QString discoveryIssuer;                          // what discovery names as the issuer; empty: baseUrl

    bool modelLoading = false;
    QStringList models;
    // How the model endpoint wraps its answers, as local models do: "plain",
    // "fenced", "think", "prose" or "null-content" (see ModelRoutes.cpp).
    QString modelAnswerShape = QStringLiteral("plain");
    QString modelBriefShape = QStringLiteral("sound"); // see modelBriefShapes()

    const Account *account(const QString &sub) const;
    QString nextId(const QString &prefix); // unique, stable within one run
    void reset();                          // seed data back, tokens and switches cleared
};

// Fills accounts and their data (Seed.cpp); times relative to state.seededAt.
void seed(State &state);
