// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/KeyringProbe.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace oauth {

namespace {

const QString SecretsService = QStringLiteral("org.freedesktop.secrets");
constexpr int ProbeTimeoutMs = 2000;

QDBusMessage callSecrets(const QString &path, const QString &interface, const QString &method,
                         const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(SecretsService, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, ProbeTimeoutMs);
}

bool serviceOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // Ping through the service's own introspection: this also starts a
    // service the bus knows how to activate.
    const QDBusMessage reply = callSecrets(QStringLiteral("/org/freedesktop/secrets"),
                                           QStringLiteral("org.freedesktop.DBus.Peer"),
                                           QStringLiteral("Ping"), {});
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool defaultCollectionLocked()
{
    const QDBusMessage alias = callSecrets(QStringLiteral("/org/freedesktop/secrets"),
                                           QStringLiteral("org.freedesktop.Secret.Service"),
                                           QStringLiteral("ReadAlias"), {QStringLiteral("default")});
    if (alias.type() != QDBusMessage::ReplyMessage || alias.arguments().isEmpty())
        return false;
    const QString path = alias.arguments().first().value<QDBusObjectPath>().path();
    if (path.isEmpty() || path == QLatin1String("/"))
        return false;
    const QDBusMessage locked = callSecrets(
        path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
        {QStringLiteral("org.freedesktop.Secret.Collection"), QStringLiteral("Locked")});
    if (locked.type() != QDBusMessage::ReplyMessage || locked.arguments().isEmpty())
        return false;
    return locked.arguments().first().value<QDBusVariant>().variant().toBool();
}

} // namespace

KeyringCondition probeKeyring()
{
    if (!serviceOnBus())
        return KeyringCondition::Missing;
    return defaultCollectionLocked() ? KeyringCondition::Locked : KeyringCondition::Usable;
}

QString keyringConditionText(KeyringCondition condition)
{
    switch (condition) {
    case KeyringCondition::Missing:
        return QStringLiteral("No system keyring is running. Tarnlight keeps sign-ins in the "
                              "Secret Service (for example GNOME Keyring or KWallet); start it "
                              "and try again.");
    case KeyringCondition::Locked:
        return QStringLiteral("The system keyring is locked. Unlock it and try again.");
    case KeyringCondition::Usable: break;
    }
    return {};
}

} // namespace oauth
