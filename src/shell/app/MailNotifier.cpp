// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/MailNotifier.h"

#include "mail/GmailLink.h"
#include "support/UrlOpener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

#include <utility>

namespace {

const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString DefaultAction = QStringLiteral("default");

// The three characters the notification markup gives meaning to.
QString escapeMarkup(const QString &text)
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

} // namespace

MailNotifier::MailNotifier(QObject *parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
    askCapabilities();
}

void MailNotifier::askCapabilities()
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
        for (const Notice &notice : std::exchange(m_waiting, {}))
            notify(notice);
    });
}

void MailNotifier::announce(const Account &account, const QList<EmailMessage> &messages, int count)
{
    if (count > messages.size() || messages.isEmpty()) {
        send({tr("%1 new messages").arg(count), account.email, {}});
        return;
    }
    for (const EmailMessage &message : messages)
        send({message.fromDisplay(), message.subject, gmail::threadWebLink(account.email, message.threadId)});
}

void MailNotifier::announceNoTray()
{
    send({tr("Tarnlight has no tray icon here."),
          tr("Open it from the app menu, or enable a tray extension."),
          {},
          false});
}

void MailNotifier::send(const Notice &notice)
{
    if (m_capabilities == Capabilities::Known)
        return notify(notice);
    m_waiting.append(notice);
    if (m_capabilities == Capabilities::Unknown)
        askCapabilities();
}

// The summary is always plain text to the server; only the body may be markup.
void MailNotifier::notify(const Notice &notice)
{
    const QUrl &thread = notice.thread;
    QStringList actions{DefaultAction, tr("Open Tarnlight")};
    if (thread.isValid())
        actions << OpenAction << tr("Open in Gmail");
    QVariantMap hints{{QStringLiteral("desktop-entry"), AppId}};
    if (notice.aboutMail)
        hints.insert(QStringLiteral("category"), QStringLiteral("email.arrived"));
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    call << QStringLiteral("Tarnlight") << uint(0) << AppId << notice.summary
         << (m_bodyMarkup ? escapeMarkup(notice.body) : notice.body) << actions << hints << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, thread, aboutMail = notice.aboutMail](QDBusPendingCallWatcher *w) {
                const QDBusPendingReply<uint> reply = *w;
                if (!reply.isError())
                    m_threads.insert(reply.value(), thread);
                if (!reply.isError() && !aboutMail)
                    emit noTrayAnnounced();
                w->deleteLater();
            });
}

void MailNotifier::onActionInvoked(uint id, const QString &action)
{
    // The server speaks to every client on the bus: only our own notices count.
    if (!m_threads.contains(id))
        return;
    if (action == OpenAction && m_threads.value(id).isValid())
        support::openUrl(m_threads.value(id));
    else if (action == DefaultAction)
        emit popoverRequested();
}

void MailNotifier::onClosed(uint id, uint)
{
    m_threads.remove(id);
}
