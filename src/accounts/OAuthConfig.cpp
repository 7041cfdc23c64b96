// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/OAuthConfig.h"

#include "core/Provider.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <plist/plist.h>

#include <cstdio>
#include <memory>

namespace {

// A property list larger than this is not a client configuration.
constexpr qint64 kMaxResourceSize = 1024 * 1024;

using PlistPtr = std::unique_ptr<std::remove_pointer_t<plist_t>, decltype(&plist_free)>;

std::optional<QString> stringValue(plist_t dict, const char *key)
{
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    if (!text)
        return std::nullopt;
    return QString::fromUtf8(text, qsizetype(length));
}

QString resourcePath()
{
    for (const QString &dir : OAuthConfig::resourceSearchPaths()) {
        const QString path = QDir(dir).filePath(QStringLiteral("Secrets.plist"));
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

} // namespace

QStringList OAuthConfig::resourceSearchPaths()
{
    QStringList dirs;
    const QString explicitDir = qEnvironmentVariable("TARNLIGHT_RESOURCES");
    if (!explicitDir.isEmpty())
        dirs << explicitDir;
    if (QCoreApplication::instance())
        dirs << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/tarnlight"));
    dirs << QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                .filePath(QStringLiteral("tarnlight"));
    return dirs;
}

std::optional<OAuthConfig> OAuthConfig::fromPlistData(const QByteArray &data)
{
    if (data.isEmpty() || data.size() > kMaxResourceSize)
        return std::nullopt;
    plist_t raw = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &raw);
    PlistPtr root(raw, &plist_free);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    const auto clientID = stringValue(root.get(), "GoogleClientID");
    if (!clientID || clientID->isEmpty() || *clientID == PlaceholderClientID)
        return std::nullopt;
    OAuthConfig config{*clientID, stringValue(root.get(), "GoogleClientSecret")};
    if (config.clientSecret && config.clientSecret->isEmpty())
        config.clientSecret.reset();
    return config;
}

std::optional<OAuthConfig> OAuthConfig::load()
{
    const QString path = resourcePath();
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxResourceSize)
        return std::nullopt;
    return fromPlistData(file.readAll());
}

const std::optional<OAuthConfig> &OAuthConfig::current()
{
    // Function-local statics initialise once, thread-safely.
    static const std::optional<OAuthConfig> config = load();
    return config;
}

QString OAuthConfig::configCheckLine(const std::optional<OAuthConfig> &config)
{
    return QStringLiteral("[config-check] configured=%1 clientIDPrefix=%2 hasSecret=%3\n")
        .arg(config ? QStringLiteral("true") : QStringLiteral("false"),
             config ? config->clientID.left(12) : QStringLiteral("<none>"),
             config && config->clientSecret ? QStringLiteral("true") : QStringLiteral("false"));
}

bool OAuthConfig::runConfigCheckIfRequested(const QStringList &arguments)
{
    if (!arguments.contains(QStringLiteral("--config-check")))
        return false;
    const QByteArray line = configCheckLine(current()).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    return true;
}

QStringList GoogleScopes::all()
{
    const QString api = Provider::scopeOrigin();
    return {QStringLiteral("openid"),
            QStringLiteral("email"),
            QStringLiteral("profile"),
            api + QStringLiteral("/auth/gmail.modify"),
            api + QStringLiteral("/auth/gmail.compose"),
            api + QStringLiteral("/auth/drive"),
            api + QStringLiteral("/auth/calendar.readonly")};
}
