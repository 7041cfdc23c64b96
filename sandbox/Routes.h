#pragma once

#include "Exchange.h"
#include "Server.h"
#include "State.h"

#include <QJsonObject>

#include <initializer_list>
#include <optional>

void addOAuthRoutes(Server &server, State &state);
void addGmailRoutes(Server &server, State &state);
void addCalendarRoutes(Server &server, State &state);
void addDriveRoutes(Server &server, State &state);
void addUploadRoutes(Server &server, State &state);
void addModelRoutes(Server &server, State &state);
void addWebRoutes(Server &server, State &state);
void addControlRoutes(Server &server, State &state);

// The answer shapes the model endpoint can play (State::modelAnswerShape).
QStringList modelAnswerShapes();

// Scope URIs as the provider grants them.
QString scopeUri(const char *name);
// The full scope set a sign-in of the app grants.
QString allScopes();

// Checks the bearer token of an API request (lock held). Returns the
// account's sub, or answers 401/403 in the provider's shape and returns nullopt.
std::optional<QString> authorize(State &state, Exchange &exchange,
                                 std::initializer_list<const char *> anyOfScopes);

// Mints an access token (and a refresh token when asked) with an ID token for
// the account (lock held); the token endpoint's JSON answer.
QJsonObject mintTokens(State &state, const QString &sub, const QString &scope,
                       const QString &nonce, bool withRefresh, int lifetime);

// Withdraws every grant of the account: refresh answers "invalid_grant",
// access tokens stop working (lock held).
void revokeAccount(State &state, const QString &sub);
