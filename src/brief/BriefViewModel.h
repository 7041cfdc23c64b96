// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/AccountBoundModel.h"
#include "brief/ModelRun.h"
#include "brief/TodayPlan.h"
#include "mail/EmailMessage.h"
#include "support/ProviderLink.h"

#include <QElapsedTimer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

// The brief of the active account: "Today" from its calendar, loaded with
// the view, and "Needs you", drawn by the local model from the unread mail
// only when asked. The model's answer is kept for the account until its
// unread mail changes; it only shows and links, it never acts.
class BriefViewModel : public AccountBoundModel
{
    Q_OBJECT
    QML_ELEMENT
    // CalendarEvent values; conflicts as {first, second} pairs.
    Q_PROPERTY(QVariantList todayEvents READ todayEvents NOTIFY todayChanged)
    Q_PROPERTY(QVariantList conflicts READ conflicts NOTIFY todayChanged)
    // The first of todayEvents that is tomorrow's; -1 when none is.
    Q_PROPERTY(int firstTomorrow READ firstTomorrow NOTIFY todayChanged)
    Q_PROPERTY(QVariant nextMeeting READ nextMeeting NOTIFY todayChanged)
    Q_PROPERTY(int unreadCount READ unreadCount NOTIFY todayChanged)
    // "idle", "running", "done", "failed"
    Q_PROPERTY(QString needsYouKind READ needsYouKind NOTIFY needsYouChanged)
    // Each {sourceId, text, due, sender, subject}.
    Q_PROPERTY(QVariantList needsYouItems READ needsYouItems NOTIFY needsYouChanged)
    // Why the model could not help, or what it left out; plain text.
    Q_PROPERTY(QString needsYouMessage READ needsYouMessage NOTIFY needsYouChanged)
    Q_PROPERTY(QString dropNote READ dropNote NOTIFY needsYouChanged)
    Q_PROPERTY(QString elapsedText READ elapsedText NOTIFY needsYouChanged)

public:
    static constexpr int WindowDays = 2;
    static constexpr int MaxEvents = 50;

    explicit BriefViewModel(QObject *parent = nullptr);

    const TodayPlan &today() const { return m_today; }
    const QList<EmailMessage> &unread() const { return m_unread; }
    const std::optional<ai::NeedsYouAnswer> &answer() const { return m_answer; }

    // Asks the model once over the unread mail (at most 25); nothing while it runs.
    Q_INVOKABLE void startNeedsYou();
    // Stops waiting for the model: its answer, should it come, is dropped.
    Q_INVOKABLE void cancelNeedsYou() { m_needsYou.cancel(); }
    Q_INVOKABLE void openMeeting(const QString &link) const { support::openProviderLink(link); }

    // Forgets every kept answer (tests start from nothing).
    static void forgetAnswers();

signals:
    void todayChanged();
    void needsYouChanged();

protected:
    QCoro::Task<Publish> fetch(std::shared_ptr<rest::Authorizer> session, Account account) override;
    void clearRows() override;
    void onAttached() override;

private:
    struct Part
    {
        QList<CalendarEvent> events;
        QList<EmailMessage> unread;
    };
    // The account id a brief over every account keeps its answer under.
    static inline const QString AllAccounts = QStringLiteral("*");

    void publishMergedParts();
    void publish(const QList<CalendarEvent> &events, const QList<EmailMessage> &unread,
                 const QString &account);
    // The account and the exact unread mail an answer was drawn from.
    QString answerKey() const;

    QVariantList todayEvents() const;
    QVariantList conflicts() const;
    QVariant nextMeeting() const;
    int firstTomorrow() const;
    int unreadCount() const { return int(m_unread.size()); }
    QString needsYouKind() const { return m_needsYou.kind(); }
    QVariantList needsYouItems() const;
    QString needsYouMessage() const { return m_needsYou.message(); }
    QString dropNote() const;
    QString elapsedText() const;

    TodayPlan m_today;
    QHash<QString, Part> m_parts; // by account id, over every account
    QList<EmailMessage> m_unread;
    QString m_accountId;
    std::optional<ai::NeedsYouAnswer> m_answer;
    qint64 m_elapsedMs = -1;
    ModelRun m_needsYou;
};
