#include "shell/app/MailNotifier.h"

#include "mail/GmailLink.h"
#include "support/UrlOpener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

namespace {

const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString DefaultAction = QStringLiteral("default");

} // namespace

MailNotifier::MailNotifier(QObject *parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
}

void MailNotifier::announce(const Account &account, const QList<EmailMessage> &messages, int count)
{
    if (count > messages.size() || messages.isEmpty()) {
        send(tr("%1 new messages").arg(count), account.email, {});
        return;
    }
    for (const EmailMessage &message : messages)
        send(message.fromDisplay(), message.subject, gmail::threadWebLink(account.email, message.threadId));
}

void MailNotifier::send(const QString &summary, const QString &body, const QUrl &thread)
{
    QStringList actions{DefaultAction, tr("Open Tarnlight")};
    if (thread.isValid())
        actions << OpenAction << tr("Open in Gmail");
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("app.tarnlight.Tarnlight")},
                            {QStringLiteral("category"), QStringLiteral("email.arrived")}};
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    call << QStringLiteral("Tarnlight") << uint(0) << QStringLiteral("mail-unread") << summary << body
         << actions << hints << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, thread](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError())
            m_threads.insert(reply.value(), thread);
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
