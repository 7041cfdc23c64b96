// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DesktopNotifications.h"

#include "support/AppId.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <utility>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

DesktopNotifications::DesktopNotifications(QObject *parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
    askCapabilities();
}

QString DesktopNotifications::escapeMarkup(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            escaped += QStringLiteral("&amp;");
        else if (c == u'<')
            escaped += QStringLiteral("&lt;");
        else if (c == u'>')
            escaped += QStringLiteral("&gt;");
        else
            escaped += c;
    }
    return escaped;
}

void DesktopNotifications::askCapabilities()
{
    m_capabilities = Capabilities::Asking;
    const QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface,
                                                             QStringLiteral("GetCapabilities"));
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QStringList> reply = *w;
        w->deleteLater();
        // No answer (no server yet): these notices go out without markup,
        // and the next one asks again.
        m_capabilities = reply.isError() ? Capabilities::Unknown : Capabilities::Known;
        m_bodyMarkup = !reply.isError() && reply.value().contains(QStringLiteral("body-markup"));
        for (const DesktopNotice &notice : std::exchange(m_waiting, {}))
            notify(notice);
    });
}

void DesktopNotifications::send(const DesktopNotice &notice)
{
    if (m_capabilities == Capabilities::Known)
        return notify(notice);
    m_waiting.append(notice);
    if (m_capabilities == Capabilities::Unknown)
        askCapabilities();
}

// The summary is always plain text to the server; only the body may be markup.
void DesktopNotifications::notify(const DesktopNotice &notice)
{
    QStringList actions;
    for (const auto &[key, label] : notice.actions)
        actions << key << label;
    QVariantMap hints{{QStringLiteral("desktop-entry"), support::AppId}};
    if (!notice.category.isEmpty())
        hints.insert(QStringLiteral("category"), notice.category);
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    call << QStringLiteral("Tarnlight") << uint(0) << support::AppId << notice.summary
         << (m_bodyMarkup ? escapeMarkup(notice.body) : notice.body) << actions << hints << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, notice](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
        if (reply.isError())
            return;
        m_shown.insert(reply.value(), notice.onAction);
        if (notice.onShown)
            notice.onShown();
    });
}

void DesktopNotifications::onActionInvoked(uint id, const QString &action)
{
    // The server speaks to every client on the bus: only our own notices count.
    const auto handler = m_shown.value(id);
    if (handler)
        handler(action);
}

void DesktopNotifications::onClosed(uint id, uint)
{
    m_shown.remove(id);
}
