// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The OAuth client identity, read from the resource "Secrets.plist".
struct OAuthConfig
{
    QString clientID;                    // never empty
    std::optional<QString> clientSecret; // never empty when present

    // The template's placeholder client ID, which counts as not configured.
    static inline const QString PlaceholderClientID = QStringLiteral(
        "YOUR_CLIENT_ID.apps.googleusercontent.com");

    // The configuration of this process, computed once on first use.
    static const std::optional<OAuthConfig> &current();

    // Where "Secrets.plist" is looked for, in order: $TARNLIGHT_RESOURCES,
    // <prefix>/share/tarnlight beside the executable's bin folder, then
    // $XDG_CONFIG_HOME/tarnlight. The first existing file wins.
    static QStringList resourceSearchPaths();
    static std::optional<OAuthConfig> load();
    // Decides the configuration from property-list bytes (XML or binary);
    // any fault gives nullopt.
    static std::optional<OAuthConfig> fromPlistData(const QByteArray &data);

    // The one diagnostic line of "--config-check", line feed included.
    static QString configCheckLine(const std::optional<OAuthConfig> &config);
    // With "--config-check" among the arguments: writes the line to standard
    // error and returns true (the caller then exits with status 0).
    static bool runConfigCheckIfRequested(const QStringList &arguments);

    friend bool operator==(const OAuthConfig &, const OAuthConfig &) = default;
};

namespace GoogleScopes {
// The seven scopes requested at sign-in, in order.
QStringList all();
} // namespace GoogleScopes
