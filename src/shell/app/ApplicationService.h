// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/AppId.h"

#include <QDBusAbstractAdaptor>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// The one Tarnlight of a desktop session, on the session bus: the name
// app.tarnlight.Tarnlight with org.freedesktop.Application at
// /app/tarnlight/Tarnlight. A second start finds the name taken and asks the
// running one to activate instead.
class ApplicationService : public QObject
{
    Q_OBJECT

public:
    static inline const QString &ServiceName = support::AppId;
    static inline const QString ObjectPath = QStringLiteral("/app/tarnlight/Tarnlight");
    static inline const QString Interface = QStringLiteral("org.freedesktop.Application");

    enum class Claim {
        Owned,        // this process is the session's Tarnlight
        TakenByOther, // another Tarnlight runs; activate it and leave
        NoBus         // no session bus: run alone, unreachable from outside
    };

    explicit ApplicationService(QObject *parent = nullptr);
    ~ApplicationService() override;

    // Exports the object, then asks for the name (so a caller that sees the
    // name always finds the object).
    Claim claim();
    // Calls Activate on the running Tarnlight; false when it did not answer.
    static bool activateRunning(QString *failure = nullptr);

signals:
    void activateRequested();
    void actionRequested(const QString &name);

private:
    bool m_exported = false;
};

// org.freedesktop.Application as the desktop (and a second Tarnlight) calls it.
class ApplicationAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationAdaptor(ApplicationService *service);

public slots:
    void Activate(const QVariantMap &platformData);
    void Open(const QStringList &uris, const QVariantMap &platformData);
    void ActivateAction(const QString &actionName, const QVariantList &parameter,
                        const QVariantMap &platformData);

private:
    ApplicationService *m_service;
};
