// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "brief/BriefViewModel.h"

#include "mail/MailLabelChoice.h"

#include "calendar/CalendarChoice.h"
#include "calendar/ChosenCalendars.h"
#include "calendar/CalendarWindow.h"
#include "mail/GmailLabels.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QLocale>
#include <QSet>

namespace {

// An answer kept by account id.
struct KeptAnswer
{
    QString key;
    ai::NeedsYouAnswer answer;
    qint64 elapsedMs = 0;
};

} // namespace

BriefViewModel::BriefViewModel(QObject *parent) : AccountBoundModel(parent, Reach::AllAccounts)
{
    connect(&m_needsYou, &ModelRun::changed, this, &BriefViewModel::needsYouChanged);
}

void BriefViewModel::onAttached()
{
    // The brief reads the same choices as the Mail tab and the agenda.
    connect(&MailLabelChoice::of(*auth()), &AccountChoice::idsChanged, this,
            &BriefViewModel::reloadIfListing);
    connect(&CalendarChoice::of(*auth()), &AccountChoice::idsChanged, this, &BriefViewModel::reloadIfListing);
}

void BriefViewModel::forgetAnswers()
{
    keptAnswers<KeptAnswer>().clear();
}

QCoro::Task<AccountBoundModel::Publish> BriefViewModel::fetch(std::shared_ptr<rest::Authorizer> session,
                                                              Account account)
{
    const QStringList labels = auth() ? MailLabelChoice::of(*auth()).labelIds(account.id) : QStringList{};
    const QStringList calendars = auth() ? CalendarChoice::of(*auth()).ids(account.id)
                                         : QStringList{CalendarChoice::Primary};
    const calendar::ChosenEvents chosen = co_await calendar::loadChosen(session, calendars, WindowDays,
                                                                        MaxEvents);
    const auto unread = co_await gmail::unreadInAny(session, labels, ai::NeedsYou::MaxMails);
    co_return [this, events = chosen.events, unread, id = account.id] {
        if (!listBinding().listsAll())
            return publish(events, unread, id);
        m_parts.insert(id, {events, unread});
        publishMergedParts();
    };
}

void BriefViewModel::clearRows()
{
    m_parts.clear();
    publish({}, {}, {});
}

void BriefViewModel::publishMergedParts()
{
    // A meeting several accounts are invited to counts once.
    QList<CalendarEvent> events;
    QSet<QString> shared;
    QList<QList<EmailMessage>> unread;
    for (const Account &account : listBinding().accounts()) {
        const Part part = m_parts.value(account.id);
        for (const CalendarEvent &event : part.events) {
            const QString key = event.sharedKey();
            if (!key.isEmpty() && shared.contains(key))
                continue;
            shared.insert(key);
            events.append(event);
        }
        unread.append(part.unread);
    }
    publish(calendar::mergedEvents(events, {}), mergedNewestFirst(unread, ai::NeedsYou::MaxMails),
            AllAccounts);
}

void BriefViewModel::publish(const QList<CalendarEvent> &events, const QList<EmailMessage> &unread,
                             const QString &account)
{
    m_today = TodayPlan::make(events, QDateTime::currentDateTime(), calendar::userTimeZone());
    const bool accountChanged = m_accountId != account;
    const bool mailChanged = m_unread != unread || accountChanged;
    m_unread = unread;
    m_accountId = account;
    emit todayChanged();
    // A run keeps going over new mail of its account; another account's
    // brief must not show its answer.
    if (!mailChanged || (m_needsYou.isRunning() && !accountChanged))
        return;
    const auto kept = keptAnswers<KeptAnswer>().constFind(m_accountId);
    if (kept != keptAnswers<KeptAnswer>().cend() && kept->key == answerKey()) {
        m_answer = kept->answer;
        m_elapsedMs = kept->elapsedMs;
        m_needsYou.reset(QStringLiteral("done"));
    } else {
        m_answer.reset();
        m_elapsedMs = -1;
        m_needsYou.reset();
    }
}

QString BriefViewModel::answerKey() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const EmailMessage &mail : m_unread)
        hash.addData(QStringList{mail.id, mail.from, mail.subject, mail.snippet}.join(u'\n').toUtf8() + '\0');
    return m_accountId + u':' + QString::fromLatin1(hash.result().toHex());
}

void BriefViewModel::startNeedsYou()
{
    if (m_needsYou.isRunning() || m_accountId.isEmpty())
        return;
    const QList<ai::BriefMail> mails = briefMails(m_unread);
    m_answer.reset();
    m_elapsedMs = -1;
    QElapsedTimer clock;
    clock.start();
    m_needsYou.start<ai::NeedsYouAnswer>(
        [mails](const AIService &ai) { return ai.needsYou(mails); },
        [this, clock, key = answerKey()](ai::NeedsYouAnswer answer) {
            m_answer = answer;
            m_elapsedMs = clock.elapsed();
            keptAnswers<KeptAnswer>().insert(m_accountId, {key, answer, m_elapsedMs});
            return QString();
        });
}

QVariantList BriefViewModel::todayEvents() const
{
    QVariantList list;
    for (const CalendarEvent &event : m_today.left)
        list.append(QVariant::fromValue(event));
    return list;
}

QVariantList BriefViewModel::conflicts() const
{
    QVariantList list;
    for (const auto &[first, second] : m_today.conflicts)
        list.append(QVariantMap{{QStringLiteral("first"), QVariant::fromValue(first)},
                                {QStringLiteral("second"), QVariant::fromValue(second)}});
    return list;
}

int BriefViewModel::firstTomorrow() const
{
    const QTimeZone zone = calendar::userTimeZone();
    const QDate today = QDateTime::currentDateTime().toTimeZone(zone).date();
    for (qsizetype i = 0; i < m_today.left.size(); ++i) {
        const CalendarEvent &event = m_today.left[i];
        if (!event.isAllDay && event.start->toTimeZone(zone).date() > today)
            return int(i);
    }
    return -1;
}

QVariant BriefViewModel::nextMeeting() const
{
    return m_today.nextMeeting ? QVariant::fromValue(*m_today.nextMeeting) : QVariant();
}

QVariantList BriefViewModel::needsYouItems() const
{
    QVariantList list;
    if (!m_answer)
        return list;
    for (const ai::NeedsYouItem &item : m_answer->items) {
        const auto mail = std::find_if(m_unread.cbegin(), m_unread.cend(),
                                       [&](const EmailMessage &m) { return m.id == item.sourceId; });
        list.append(
            QVariantMap{{QStringLiteral("sourceId"), item.sourceId},
                        {QStringLiteral("text"), item.text},
                        {QStringLiteral("due"), item.due},
                        {QStringLiteral("sender"), mail != m_unread.cend() ? mail->fromDisplay() : QString()},
                        {QStringLiteral("subject"), mail != m_unread.cend() ? mail->subject : QString()}});
    }
    return list;
}

QString BriefViewModel::dropNote() const
{
    return m_answer ? ai::NeedsYou::dropNote(m_answer->dropped) : QString();
}

QString BriefViewModel::elapsedText() const
{
    if (m_elapsedMs < 0)
        return {};
    return QCoreApplication::translate("BriefViewModel", "Took %1 s")
        .arg(QLocale().toString(double(m_elapsedMs) / 1000.0, 'f', 1));
}
