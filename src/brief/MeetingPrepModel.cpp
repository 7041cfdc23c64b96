// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "brief/MeetingPrepModel.h"

#include "mail/MessageDetails.h"

#include "mail/GmailLabels.h"
#include "rest/ExecuteQuery.h"
#include "rest/Queries.h"
#include "rest/Resources.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

bool isPlainAddress(const QString &email)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9._%+-]{1,64}@[A-Za-z0-9.-]{1,190}$"));
    return plain.match(email).hasMatch();
}

bool isRoom(const QString &email)
{
    return email.endsWith(QStringLiteral("resource.calendar.google.com"), Qt::CaseInsensitive);
}

QCoro::Task<QStringList> searchIds(std::shared_ptr<rest::Authorizer> authorizer, QString search)
{
    rest::GmailAPIService service;
    service.authorizer = std::move(authorizer);
    service.shouldFetchNextPages = false;
    auto query = rest::GmailMessagesListQuery::query(QStringLiteral("me"));
    query->setQ(search);
    query->setMaxResults(MeetingPrepModel::MaxMails);
    const auto page = std::dynamic_pointer_cast<rest::GmailListMessagesResource>(
        co_await rest::executeQuery(service, query));
    QStringList ids;
    if (page && page->hasKey(page->collectionItemsKey()))
        for (const rest::RestObjectPtr &stub : page->items())
            if (const auto id = stub->identifier(); id && ids.size() < MeetingPrepModel::MaxMails)
                ids.append(*id);
    co_return ids;
}

// Lines made for an event, kept by event id with the mail they were made from.
struct KeptLines
{
    QList<EmailMessage> mails;
    CalendarEvent event;
    QStringList lines;
    QString note;
};

} // namespace

MeetingPrepModel::MeetingPrepModel(QObject *parent) : AccountBoundModel(parent)
{
    connect(&m_prepare, &ModelRun::changed, this, &MeetingPrepModel::prepareChanged);
}

QString MeetingPrepModel::guestSearch(const QList<CalendarAttendee> &attendees)
{
    QStringList addresses;
    for (const CalendarAttendee &guest : attendees) {
        const QString email = guest.email.trimmed().toLower();
        if (!guest.self && isPlainAddress(email) && !isRoom(email) && !addresses.contains(email))
            addresses.append(email);
    }
    if (addresses.isEmpty())
        return {};
    return QStringLiteral("from:(%1) newer_than:%2d is:unread")
        .arg(addresses.join(QStringLiteral(" OR ")))
        .arg(RecentDays);
}

void MeetingPrepModel::setEvent(const CalendarEvent &event)
{
    if (m_event == event)
        return;
    m_event = event;
    m_prepare.reset();
    emit eventChanged();
}

void MeetingPrepModel::setAccountId(const QString &id)
{
    if (m_accountId == id)
        return;
    m_accountId = id;
    emit eventChanged();
    if (hasLoaded())
        startRefresh();
}

std::optional<Account> MeetingPrepModel::activeAccount() const
{
    if (m_accountId.isEmpty() || !auth())
        return AccountBoundModel::activeAccount();
    for (const Account &account : auth()->accounts())
        if (account.id == m_accountId)
            return account;
    return std::nullopt; // signed out since the row was listed
}

QCoro::Task<AccountBoundModel::Publish> MeetingPrepModel::fetch(std::shared_ptr<rest::Authorizer> session,
                                                                Account account)
{
    const QString search = guestSearch(m_event.attendees);
    QList<EmailMessage> found;
    if (!search.isEmpty()) {
        // Details the Mail tab or the unread check fetched already are not
        // asked again. Taken before the first wait: the model may be gone after it.
        auto details = auth() ? MailDetailCache::of(*auth()).forAccount(account.id) : nullptr;
        if (!details)
            details = std::make_shared<MessageDetails>();
        const QStringList ids = co_await searchIds(session, search);
        found = co_await gmail::listedMessages(session, ids, details);
    }
    co_return [this, found] {
        m_mails = found;
        emit mailsChanged();
        showKeptLines();
    };
}

void MeetingPrepModel::showKeptLines()
{
    const auto kept = keptAnswers<KeptLines>().constFind(m_event.id);
    if (m_prepare.kind() == u"idle" && kept != keptAnswers<KeptLines>().cend() && kept->mails == m_mails
        && kept->event == m_event) {
        m_lines = kept->lines;
        m_prepare.reset(QStringLiteral("done"), kept->note);
    }
}

void MeetingPrepModel::forgetLines()
{
    keptAnswers<KeptLines>().clear();
}

void MeetingPrepModel::clearRows()
{
    m_mails.clear();
    emit mailsChanged();
}

void MeetingPrepModel::startPrepare()
{
    if (m_prepare.isRunning() || m_mails.isEmpty())
        return;
    const QList<ai::BriefMail> mails = briefMails(m_mails);
    m_prepare.start<ai::MeetingNotesAnswer>(
        [title = m_event.title, mails](const AIService &ai) { return ai.meetingNotes(title, mails); },
        [this](ai::MeetingNotesAnswer answer) {
            const QString note = ai::NeedsYou::dropNote(answer.dropped);
            keptAnswers<KeptLines>().insert(m_event.id, {m_mails, m_event, answer.lines, note});
            m_lines = answer.lines;
            return note;
        });
}

QVariantList MeetingPrepModel::attendees() const
{
    QVariantList list;
    for (const CalendarAttendee &guest : m_event.attendees)
        list.append(QVariantMap{
            {QStringLiteral("name"), guest.displayName.isEmpty() ? guest.email : guest.displayName},
            {QStringLiteral("email"), guest.email},
            {QStringLiteral("response"), guest.responseStatus}});
    return list;
}

QVariantList MeetingPrepModel::attachments() const
{
    QVariantList list;
    for (const CalendarAttachment &file : m_event.attachments) {
        const QUrl url(file.fileUrl, QUrl::StrictMode);
        if (url.isValid() && url.scheme() == u"https")
            list.append(QVariantMap{{QStringLiteral("title"), file.title.isEmpty() ? url.host() : file.title},
                                    {QStringLiteral("fileUrl"), file.fileUrl}});
    }
    return list;
}

QVariantList MeetingPrepModel::mails() const
{
    QVariantList list;
    for (const EmailMessage &mail : m_mails)
        list.append(QVariantMap{{QStringLiteral("id"), mail.id},
                                {QStringLiteral("sender"), mail.fromDisplay()},
                                {QStringLiteral("subject"), mail.subject},
                                {QStringLiteral("snippet"), mail.snippet}});
    return list;
}
