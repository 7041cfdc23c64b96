// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Exchange.h"
#include "Server.h"
#include "State.h"

#include <QJsonObject>

#include <initializer_list>
#include <optional>

void addOAuthRoutes(Server &server, State &state);
void addGmailRoutes(Server &server, State &state);
void addGmailLabelRoutes(Server &server, State &state);
void addCalendarRoutes(Server &server, State &state);
void addDriveRoutes(Server &server, State &state);
void addUploadRoutes(Server &server, State &state);
void addModelRoutes(Server &server, State &state);
void addWebRoutes(Server &server, State &state);
void addControlRoutes(Server &server, State &state);
void addMailControlRoutes(Server &server, State &state);
// Gmail's batch endpoint, answering each call through the other routes.
void addBatchRoutes(Server &server);

// The answer shapes the model endpoint can play (State::modelAnswerShape).
QStringList modelAnswerShapes();
// What the brief's model answers (State::modelBriefShape): "sound", or with
// "made-up-ids", "links-markup", or obeying mail that says what to answer
// ("obeys-injection"); the answer to a prompt of mail blocks (ModelBrief.cpp).
QStringList modelBriefShapes();
QString briefAnswer(const QString &prompt, const QString &shape);
// Lines before a meeting; "links-markup" and "obeys-injection" add bad ones.
QString meetingNotesAnswer(const QString &prompt, const QString &shape);

// Scope URIs as the provider grants them.
QString scopeUri(const char *name);
// The full scope set a sign-in of the app grants.
QString allScopes();

// Checks the bearer token of an API request (lock held). Returns the
// account's sub, or answers 401/403 in the provider's shape and returns nullopt.
std::optional<QString> authorize(State &state, Exchange &exchange,
                                 std::initializer_list<const char *> anyOfScopes);

// authorize() for Gmail, whose paths also name the user ("me" or the
// account's address): answers 403 for anyone else (lock held).
std::optional<QString> gmailAccount(State &state, Exchange &exchange,
                                    std::initializer_list<const char *> anyOfScopes);

// A system label or one of the account's user labels.
bool knownLabel(const AccountData &data, const QString &id);

// One page of a list: items [from, from + count) and the token of the next
// page, empty at the end.
struct Page
{
    int from = 0, count = 0;
    QString nextToken;
};
// The page `token` (empty: the first) names in a list of `total` items, at
// most `pageSize` long; nullopt for a token this list never gave out. With
// `shortPages` the first page is empty and later ones at most half as long
// as asked, each with a token while items remain, as the descriptions of
// Calendar's maxResults and Drive's pageSize allow.
std::optional<Page> pageOf(const QString &token, int total, int pageSize, bool shortPages);

// Mints an access token (and a refresh token when asked) with an ID token for
// the account (lock held); the token endpoint's JSON answer.
QJsonObject mintTokens(State &state, const QString &sub, const QString &scope, const QString &nonce,
                       bool withRefresh, int lifetime);

// Withdraws every grant of the account: refresh answers "invalid_grant",
// access tokens stop working (lock held).
void revokeAccount(State &state, const QString &sub);
