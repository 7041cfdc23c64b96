// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Connectivity.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QNetworkInformation>

namespace {

// Only a network that reaches beyond the local one lets Google answer;
// an unknown state does not stop us from trying.
bool reachesGoogle(QNetworkInformation::Reachability reachability)
{
    using R = QNetworkInformation::Reachability;
    return reachability != R::Disconnected && reachability != R::Local;
}

} // namespace

Connectivity &Connectivity::instance()
{
    static auto *connectivity = new Connectivity(QCoreApplication::instance());
    return *connectivity;
}

void Connectivity::setOnline(bool online)
{
    if (m_online == online)
        return;
    m_online = online;
    emit onlineChanged();
    if (online)
        emit resumed();
}

void Connectivity::noteWoke()
{
    emit resumed();
}

void Connectivity::followSystem()
{
    followReachability();
    followSleep();
}

void Connectivity::followReachability()
{
    // Qt's NetworkManager backend follows the system's own view; any other
    // backend is second best.
    if (!QNetworkInformation::loadBackendByName(QStringLiteral("networkmanager"))
        && !QNetworkInformation::loadDefaultBackend())
        return;
    QNetworkInformation *information = QNetworkInformation::instance();
    if (!information)
        return;
    connect(
        information, &QNetworkInformation::reachabilityChanged, this,
        [this](QNetworkInformation::Reachability reachability) { setOnline(reachesGoogle(reachability)); });
    setOnline(reachesGoogle(information->reachability()));
}

void Connectivity::followSleep()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                SLOT(onPrepareForSleep(bool)));
}

void Connectivity::onPrepareForSleep(bool sleeping)
{
    if (!sleeping)
        noteWoke();
}
