// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The desktop's side of the session bus, played by tests: a StatusNotifier
// tray and a notification server, each on a connection of its own.

#include <QDBusConnection>
#include <QDBusContext>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

// A minimal org.kde.StatusNotifierWatcher with a host. It answers on a thread
// of its own, because Qt asks it questions synchronously from the app's (the
// test's) main thread.
class TrayWatcher
    : public QObject
    , protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    static inline const QString Service = QStringLiteral("org.kde.StatusNotifierWatcher");

    TrayWatcher();
    ~TrayWatcher() override;

    // Claims the watcher's name; false when the bus refused.
    bool start();
    // The bus names of the items registered so far.
    QStringList items() const;

    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    // Items pass their bus name (Qt does) or an object path on the caller.
    void RegisterStatusNotifierItem(const QString &serviceOrPath);
    void RegisterStatusNotifierHost(const QString &) {}

private slots:
    bool claim();
    void release();

private:
    QThread m_thread;
    mutable QMutex m_mutex;
    QStringList m_items;
    bool m_started = false;
};

// org.freedesktop.Notifications that records every Notify.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notice
    {
        uint id;
        QString icon, summary, body;
        QStringList actions;
        QVariantMap hints;
    };
    QList<Notice> notices;
    QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body")};

    ~NotificationServer() override;
    bool start();
    // Says the user chose `action` on notice `id`, to every client on the bus.
    void invoke(uint id, const QString &action);

public slots:
    uint Notify(const QString &, uint, const QString &icon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int);
    QStringList GetCapabilities() { return capabilities; }

private:
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                          QStringLiteral("notices"));
};
