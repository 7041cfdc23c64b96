// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DesktopServices.h"

#include <QDBusMessage>

namespace {

const QString WatcherConnection = QStringLiteral("watcher");
const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

TrayWatcher::TrayWatcher() = default;

TrayWatcher::~TrayWatcher()
{
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(this, "release", Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

bool TrayWatcher::start()
{
    moveToThread(&m_thread);
    m_thread.start();
    bool claimed = false;
    QMetaObject::invokeMethod(this, "claim", Qt::BlockingQueuedConnection, Q_RETURN_ARG(bool, claimed));
    return claimed;
}

bool TrayWatcher::claim()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, WatcherConnection);
    return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
           && bus.registerService(Service);
}

void TrayWatcher::release()
{
    QDBusConnection::disconnectFromBus(WatcherConnection);
    // Back to the main thread, where it is destroyed.
    moveToThread(m_thread.thread());
}

QStringList TrayWatcher::items() const
{
    QMutexLocker lock(&m_mutex);
    return m_items;
}

void TrayWatcher::RegisterStatusNotifierItem(const QString &serviceOrPath)
{
    const QString service = serviceOrPath.startsWith(u'/') ? message().service() : serviceOrPath;
    QMutexLocker lock(&m_mutex);
    m_items.append(service);
}

NotificationServer::~NotificationServer()
{
    m_bus.unregisterService(NotificationsService);
    QDBusConnection::disconnectFromBus(m_bus.name());
}

bool NotificationServer::start()
{
    return m_bus.isConnected()
           && m_bus.registerObject(NotificationsPath, this, QDBusConnection::ExportAllSlots)
           && m_bus.registerService(NotificationsService);
}

void NotificationServer::invoke(uint id, const QString &action)
{
    QDBusMessage signal = QDBusMessage::createSignal(NotificationsPath, NotificationsService,
                                                     QStringLiteral("ActionInvoked"));
    signal << id << action;
    m_bus.send(signal);
}

uint NotificationServer::Notify(const QString &, uint, const QString &icon, const QString &summary,
                                const QString &body, const QStringList &actions, const QVariantMap &hints,
                                int)
{
    notices.append({uint(notices.size() + 1), icon, summary, body, actions, hints});
    return notices.size();
}
