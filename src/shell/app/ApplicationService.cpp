// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/ApplicationService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {

constexpr int kActivateTimeoutMs = 5000;

} // namespace

ApplicationService::ApplicationService(QObject *parent) : QObject(parent)
{
    new ApplicationAdaptor(this);
}

ApplicationService::~ApplicationService()
{
    if (!m_exported)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(ServiceName);
    bus.unregisterObject(ObjectPath);
}

ApplicationService::Claim ApplicationService::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Claim::NoBus;
    if (!bus.registerObject(ObjectPath, this))
        return Claim::NoBus;
    m_exported = true;
    // Without queueing: when another Tarnlight owns the name, the request
    // fails at once instead of waiting for it to leave.
    const auto reply = bus.interface()->registerService(ServiceName,
                                                        QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return Claim::Owned;
    bus.unregisterObject(ObjectPath);
    m_exported = false;
    return reply.isValid() ? Claim::TakenByOther : Claim::NoBus;
}

bool ApplicationService::activateRunning(QString *failure)
{
    QDBusMessage call = QDBusMessage::createMethodCall(ServiceName, ObjectPath, Interface,
                                                       QStringLiteral("Activate"));
    call << QVariantMap();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kActivateTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (failure)
        *failure = reply.errorMessage();
    return false;
}

ApplicationAdaptor::ApplicationAdaptor(ApplicationService *service)
    : QDBusAbstractAdaptor(service), m_service(service)
{}

void ApplicationAdaptor::Activate(const QVariantMap &)
{
    emit m_service->activateRequested();
}

void ApplicationAdaptor::Open(const QStringList &, const QVariantMap &)
{
    // Tarnlight opens no documents; opening means showing it.
    emit m_service->activateRequested();
}

void ApplicationAdaptor::ActivateAction(const QString &actionName, const QVariantList &, const QVariantMap &)
{
    emit m_service->actionRequested(actionName);
}
