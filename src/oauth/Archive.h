// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/AuthSession.h"

#include <QByteArray>
#include <QJsonObject>

#include <memory>
#include <optional>

// The stored form of a session: JSON in which every object names its class
// ("$class") and keeps its fields under their archive keys, inside an
// envelope that carries the format version. Decoding never trusts the input:
// anything of the wrong shape gives nullopt / null.
namespace oauth::archive {

inline constexpr int FormatVersion = 1;
inline const QString ClassKey = QStringLiteral("$class");

QJsonObject encode(const ServiceConfiguration &configuration);
QJsonObject encode(const AuthorizationRequest &request);
QJsonObject encode(const AuthorizationResponse &response);
QJsonObject encode(const TokenRequest &request);
QJsonObject encode(const TokenResponse &response);
QJsonObject encode(const AuthState &state);
QJsonObject encode(const AuthSession &session);

std::optional<ServiceConfiguration> decodeServiceConfiguration(const QJsonValue &value);
std::optional<AuthorizationRequest> decodeAuthorizationRequest(const QJsonValue &value);
std::optional<AuthorizationResponse> decodeAuthorizationResponse(const QJsonValue &value);
std::optional<TokenRequest> decodeTokenRequest(const QJsonValue &value);
std::optional<TokenResponse> decodeTokenResponse(const QJsonValue &value);
std::shared_ptr<AuthState> decodeAuthState(const QJsonValue &value);
std::shared_ptr<AuthSession> decodeAuthSession(const QJsonValue &value);

// The whole keychain payload.
QByteArray archiveAuthSession(const AuthSession &session);
// Null unless the bytes are this format with an "AuthSession" root.
std::shared_ptr<AuthSession> unarchiveAuthSession(const QByteArray &data);

} // namespace oauth::archive
