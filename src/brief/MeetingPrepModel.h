// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/AccountBoundModel.h"
#include "brief/ModelRun.h"
#include "calendar/CalendarEvent.h"
#include "mail/EmailMessage.h"
#include "support/ProviderLink.h"

#include <QVariantList>
#include <QtQml/qqmlregistration.h>

// What an expanded calendar row shows to prepare for the event: its guests
// and their answers, their unread mail of the last two weeks (one search),
// the files attached to the event, and on request three lines from the
// local model about that mail, kept until the event or that mail changes.
// Loads when the card is shown.
class MeetingPrepModel : public AccountBoundModel
{
    Q_OBJECT
    QML_ELEMENT
    // The CalendarEvent of the row.
    Q_PROPERTY(QVariant event READ eventValue WRITE setEventValue NOTIFY eventChanged)
    // The id of the account whose row it is; empty for the active account.
    // Over all accounts, a row's guests and mail are its own account's.
    Q_PROPERTY(QString accountId READ accountId WRITE setAccountId NOTIFY eventChanged)
    // Each {name, email, response} (response: "accepted", "declined", "tentative", "needsAction").
    Q_PROPERTY(QVariantList attendees READ attendees NOTIFY eventChanged)
    // Each {title, fileUrl}; only https links.
    Q_PROPERTY(QVariantList attachments READ attachments NOTIFY eventChanged)
    // Each {id, sender, subject, snippet}.
    Q_PROPERTY(QVariantList mails READ mails NOTIFY mailsChanged)
    // "idle", "running", "done", "failed"
    Q_PROPERTY(QString prepareKind READ prepareKind NOTIFY prepareChanged)
    Q_PROPERTY(QStringList prepareLines READ prepareLines NOTIFY prepareChanged)
    Q_PROPERTY(QString prepareMessage READ prepareMessage NOTIFY prepareChanged)

public:
    static constexpr int MaxMails = 5;
    static constexpr int RecentDays = 14;

    explicit MeetingPrepModel(QObject *parent = nullptr);

    const CalendarEvent &event() const { return m_event; }
    void setEvent(const CalendarEvent &event);
    const QString &accountId() const { return m_accountId; }
    void setAccountId(const QString &id);
    const QList<EmailMessage> &mailList() const { return m_mails; }

    // The Gmail search for the guests' unread mail of the last two weeks;
    // empty without a guest with a plain address (the user and rooms left out).
    static QString guestSearch(const QList<CalendarAttendee> &attendees);

    Q_INVOKABLE void startPrepare();
    Q_INVOKABLE void cancelPrepare() { m_prepare.cancel(); }
    Q_INVOKABLE void openAttachment(const QString &url) const { support::openProviderLink(url); }
    // Forgets the lines kept for every event (tests start from nothing).
    static void forgetLines();

signals:
    void eventChanged();
    void mailsChanged();
    void prepareChanged();

protected:
    QCoro::Task<Publish> fetch(std::shared_ptr<rest::Authorizer> session, Account account) override;
    void clearRows() override;
    std::optional<Account> activeAccount() const override;

private:
    // Lines made earlier for this event and the same mail, shown again.
    void showKeptLines();

    QVariant eventValue() const { return QVariant::fromValue(m_event); }
    void setEventValue(const QVariant &event) { setEvent(event.value<CalendarEvent>()); }
    QVariantList attendees() const;
    QVariantList attachments() const;
    QVariantList mails() const;
    QString prepareKind() const { return m_prepare.kind(); }
    QStringList prepareLines() const { return m_prepare.kind() == u"done" ? m_lines : QStringList(); }
    QString prepareMessage() const { return m_prepare.message(); }

    CalendarEvent m_event;
    QString m_accountId;
    QList<EmailMessage> m_mails;
    QStringList m_lines; // of the last run that was done
    ModelRun m_prepare;
};
