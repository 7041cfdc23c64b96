// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BearerAuthorizer.h"
#include "Fixture.h"
#include "TaskRunner.h"
#include "mail/GmailService.h"
#include "mail/MessageFetch.h"
#include "mail/ReplyDraft.h"

#include <QJsonArray>
#include <QSet>
#include <QTest>
#include <QUrlQuery>

namespace {

const QString Newest = QStringLiteral("18f0000000000001"); // multipart/alternative
const QString HtmlOnly = QStringLiteral("18f0000000000002");
const QString WithReferences = QStringLiteral("18f0000000000004");
const QString NoMessageId = QStringLiteral("18f0000000000005");
const QString NonAscii = QStringLiteral("18f0000000000003");
const QString NoDate = QStringLiteral("18f0000000000006");
const QString CommentedDate = QStringLiteral("18f0000000000007");
const QString LargeBody = QStringLiteral("18f0000000000028"); // text parts by attachmentId only

const EmailMessage *findMessage(const QList<EmailMessage> &messages, const QString &id)
{
    for (const EmailMessage &message : messages)
        if (message.id == id)
            return &message;
    return nullptr;
}

QStringList headerLinesOf(const QString &rawText)
{
    return rawText.left(rawText.indexOf(QStringLiteral("\r\n\r\n"))).split(QStringLiteral("\r\n"));
}

// A header of a draft as the draft store decoded it.
QString storedHeader(const QJsonObject &draft, const QString &name)
{
    for (const QJsonValue &header : draft.value("headers").toArray())
        if (header["name"].toString().compare(name, Qt::CaseInsensitive) == 0)
            return header["value"].toString();
    return {};
}

} // namespace

class GmailServiceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void listsThenFetchesDetailsInOneBatch();
    void listsNothingWithoutMessages();
    void failedCallsLeaveOnlyTheirMessagesOut();
    void readsBodyText();
    void fetchesABodyThatCameAsAttachment();
    void savesThreadedReplyDraft();
    void savesReplyWithoutMessageId();
    void nonAsciiReplyDecodesToTheSameNameSubjectAndBody();
    void removesLabels();
    void passesServerErrorsThrough();

private:
    std::shared_ptr<rest::Authorizer> authorizerFor(const QString &sub);
    QList<EmailMessage> listInbox(unsigned maxResults = 25);

    std::unique_ptr<Sandbox> m_sandbox;
};

void GmailServiceTest::initTestCase()
{
    TL_START_PROVIDER(m_sandbox);
}

void GmailServiceTest::init()
{
    m_sandbox->reset();
    m_sandbox->clearLog();
}

std::shared_ptr<rest::Authorizer> GmailServiceTest::authorizerFor(const QString &sub)
{
    const QString token = m_sandbox->accessToken(sub);
    return std::make_shared<BearerAuthorizer>(token.toUtf8());
}

QList<EmailMessage> GmailServiceTest::listInbox(unsigned maxResults)
{
    auto outcome = runTask(GmailService::list(authorizerFor(Sandbox::AlexSub), {"INBOX"}, maxResults));
    if (outcome.error)
        qWarning() << *outcome.error;
    return outcome.value.value_or(QList<EmailMessage>());
}

void GmailServiceTest::listsThenFetchesDetailsInOneBatch()
{
    const QList<EmailMessage> messages = listInbox();
    QCOMPARE(messages.size(), 25);

    // The page of ids, then one batch whose 25 calls the sandbox logs one by
    // one ahead of it, each with only the three shown headers.
    const QJsonArray log = m_sandbox->requestLog();
    QCOMPARE(log.size(), 1 + 25 + 1);
    const QJsonObject listRequest = log.at(0).toObject();
    QCOMPARE(listRequest.value("path").toString(), QStringLiteral("/gmail/v1/users/me/messages"));
    QCOMPARE(listRequest.value("query").toString(),
             QStringLiteral("labelIds=INBOX&maxResults=25&prettyPrint=false"));
    const QJsonObject batch = log.at(26).toObject();
    QCOMPARE(batch.value("method").toString(), QStringLiteral("POST"));
    QCOMPARE(batch.value("path").toString(), QStringLiteral("/batch/gmail/v1"));
    QSet<QString> fetched;
    for (int i = 1; i <= 25; ++i) {
        const QJsonObject entry = log.at(i).toObject();
        QCOMPARE(entry.value("batch").toString(), QStringLiteral("/batch/gmail/v1"));
        QCOMPARE(entry.value("status").toInt(), 200);
        QCOMPARE(entry.value("method").toString(), QStringLiteral("GET"));
        fetched.insert(entry.value("path").toString());
        QCOMPARE(entry.value("query").toString(),
                 QStringLiteral("format=metadata&metadataHeaders=From&metadataHeaders=Subject"
                                "&metadataHeaders=Date&prettyPrint=false"));
        QCOMPARE(entry.value("connection"), batch.value("connection"));
    }
    for (const EmailMessage &message : messages)
        QVERIFY(fetched.contains("/gmail/v1/users/me/messages/" + message.id));

    const EmailMessage *newest = findMessage(messages, Newest);
    QVERIFY(newest);
    QCOMPARE(messages.first().id, Newest);
    QVERIFY(newest->isUnread);
    QCOMPARE(newest->threadId, Newest);
    QVERIFY(!newest->from.isEmpty() && newest->from.contains(u'<'));
    QVERIFY(!newest->subject.isEmpty() && !newest->snippet.isEmpty());
    QVERIFY(newest->date.has_value());
    QVERIFY(findMessage(messages, CommentedDate)->date.has_value());
    QVERIFY(!findMessage(messages, NoDate)->date.has_value());
    QVERIFY(std::any_of(messages.begin(), messages.end(), [](const EmailMessage &m) { return !m.isUnread; }));
}

void GmailServiceTest::listsNothingWithoutMessages()
{
    auto outcome = runTask(GmailService::list(authorizerFor(Sandbox::EmptySub), {"INBOX", "UNREAD"}, 25));
    QVERIFY(!outcome.error);
    QCOMPARE(outcome.value->size(), 0);
    QCOMPARE(m_sandbox->requestLog().size(), 1);
}

void GmailServiceTest::failedCallsLeaveOnlyTheirMessagesOut()
{
    // One call of the batch fails: only its message is missing, and it is
    // asked for again next time.
    m_sandbox->injectFault(
        {{"route", "GET /gmail/v1/users/me/messages/*"}, {"status", 503}, {"skip", 3}, {"count", 1}});
    auto details = std::make_shared<MessageDetails>();
    auto auth = authorizerFor(Sandbox::AlexSub);
    auto partial = runTask(GmailService::list(auth, {"INBOX"}, 25, details));
    QVERIFY(!partial.error);
    QCOMPARE(partial.value->size(), 24);
    m_sandbox->clearLog();
    QCOMPARE(runTask(GmailService::list(auth, {"INBOX"}, 25, details)).value->size(), 25);
    QCOMPARE(m_sandbox->requestLog().size(), 1 + 1 + 1);

    // Every call failing fails the listing, with their error.
    m_sandbox->injectFault({{"route", "GET /gmail/v1/users/me/messages/*"}, {"status", 503}, {"count", -1}});
    auto failed = runTask(GmailService::list(auth, {"INBOX"}, 25));
    QVERIFY(!failed.value);
    QCOMPARE(failed.error->code(), 503);
    m_sandbox->clearFaults();

    // So does the batch itself failing.
    m_sandbox->injectFault({{"route", "POST /batch/gmail/v1"}, {"status", 500}});
    auto refused = runTask(GmailService::list(auth, {"INBOX"}, 25));
    QVERIFY(!refused.value);
    QCOMPARE(refused.error->code(), 500);
}

void GmailServiceTest::readsBodyText()
{
    auto auth = authorizerFor(Sandbox::AlexSub);
    auto plain = runTask(GmailService::bodyText(auth, Newest));
    QVERIFY(!plain.error);
    QVERIFY(!plain.value->isEmpty());
    QVERIFY2(!plain.value->contains(u'<'), "the plain part, not the HTML one");

    auto html = runTask(GmailService::bodyText(auth, HtmlOnly));
    QVERIFY(!html.error);
    QVERIFY(!html.value->isEmpty());
    QVERIFY(!html.value->contains(QRegularExpression("<[^>]+>")));

    const QJsonObject request = m_sandbox->requestLog().at(0).toObject();
    QCOMPARE(request.value("path").toString(), "/gmail/v1/users/me/messages/" + Newest);
    QCOMPARE(request.value("query").toString(), QStringLiteral("format=full&prettyPrint=false"));
}

void GmailServiceTest::fetchesABodyThatCameAsAttachment()
{
    m_sandbox->clearLog();
    auto outcome = runTask(GmailService::bodyText(authorizerFor(Sandbox::AlexSub), LargeBody));
    QVERIFY(!outcome.error);
    QVERIFY(outcome.value->startsWith(QStringLiteral("Hej Alex")));
    QVERIFY(outcome.value->size() > 64 * 1024);
    QVERIFY2(!outcome.value->contains(u'<'), "the plain part, not the HTML one");
    const QJsonArray log = m_sandbox->requestLog();
    QCOMPARE(log.size(), 2);
    QVERIFY(log.at(1)["path"].toString().startsWith("/gmail/v1/users/me/messages/" + LargeBody
                                                    + "/attachments/"));

    // A failing second fetch fails the whole read.
    m_sandbox->injectFault(
        {{"route", "GET /gmail/v1/users/me/messages/" + LargeBody + "/attachments/*"}, {"status", 503}});
    auto failed = runTask(GmailService::bodyText(authorizerFor(Sandbox::AlexSub), LargeBody));
    QVERIFY(failed.error);
    QCOMPARE(failed.error->code(), 503);
}

void GmailServiceTest::savesThreadedReplyDraft()
{
    const QList<EmailMessage> inbox = listInbox();
    const EmailMessage original = *findMessage(inbox, WithReferences);
    m_sandbox->clearLog();
    const QString body = QStringLiteral("Sounds good \u2014 see you then?>>>\n\u00ff\u00fe");
    auto outcome = runTask(GmailService::createReplyDraft(authorizerFor(Sandbox::AlexSub), original, body));
    QVERIFY(!outcome.error);

    const QJsonArray log = m_sandbox->requestLog();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log.at(0).toObject().value("query").toString(),
             QStringLiteral("format=metadata&metadataHeaders=Message-ID&metadataHeaders=References"
                            "&metadataHeaders=From&metadataHeaders=Subject&prettyPrint=false"));
    const QJsonObject sent = log.at(1).toObject().value("json").toObject().value("message").toObject();
    const QString raw = sent.value("raw").toString();
    QVERIFY(!raw.isEmpty());
    QVERIFY(!raw.contains(u'+') && !raw.contains(u'/') && !raw.contains(u'='));
    QCOMPARE(sent.value("threadId").toString(), original.threadId);

    const QJsonArray drafts = m_sandbox->drafts(Sandbox::AlexSub);
    QCOMPARE(drafts.size(), 1);
    const QJsonObject draft = drafts.at(0).toObject();
    QCOMPARE(draft.value("threadId").toString(), original.threadId);
    const QString rawText = draft.value("rawText").toString();
    const QStringList lines = headerLinesOf(rawText);
    QCOMPARE(lines.at(0), "To: " + original.from);
    QVERIFY(original.subject.startsWith(QLatin1String("Re: ")));
    QCOMPARE(lines.at(1), "Subject: " + original.subject); // already a reply: no second "Re: "
    QVERIFY(lines.at(2).startsWith("In-Reply-To: <"));
    const QString messageId = lines.at(2).mid(13);
    QVERIFY(lines.at(3).startsWith("References: <"));
    QVERIFY(lines.at(3).endsWith(u' ' + messageId)); // the earlier references, then this message
    QVERIFY(lines.at(3) != "References: " + messageId);
    QVERIFY(rawText.endsWith("\r\n\r\n" + QString(body).replace("\n", "\r\n")));
    QCOMPARE(draft.value("problems").toArray(), QJsonArray());
}

void GmailServiceTest::savesReplyWithoutMessageId()
{
    const EmailMessage original = *findMessage(listInbox(), NoMessageId);
    auto outcome = runTask(GmailService::createReplyDraft(authorizerFor(Sandbox::AlexSub), original, "ok"));
    QVERIFY(!outcome.error);
    // The draft asks for the thread but cannot cite a message of it, so Gmail
    // starts a thread of its own.
    const QJsonObject sent = m_sandbox->requestLog().last().toObject().value("json").toObject();
    QCOMPARE(sent.value("message").toObject().value("threadId").toString(), original.threadId);
    const QJsonObject draft = m_sandbox->drafts(Sandbox::AlexSub).at(0).toObject();
    QCOMPARE(draft.value("threadId").toString(), draft.value("messageId").toString());
    const QStringList lines = headerLinesOf(draft.value("rawText").toString());
    QCOMPARE(lines, QStringList({"To: " + original.from, "Subject: " + gmail::replySubject(original.subject),
                                 "MIME-Version: 1.0", "Content-Type: text/plain; charset=UTF-8",
                                 "Content-Transfer-Encoding: 8bit"}));
}

// The draft store reads a message as Gmail does (encoded words, transfer
// encoding); what it reads back is what the user wrote and received.
void GmailServiceTest::nonAsciiReplyDecodesToTheSameNameSubjectAndBody()
{
    const EmailMessage original = *findMessage(listInbox(), NonAscii);
    QVERIFY(original.from.startsWith(QStringLiteral("Zo\u00eb M\u00fcller-\u0141ukasiewicz <")));
    QVERIFY(original.subject.startsWith(QStringLiteral("\u00dcberpr\u00fcfung der Vertr\u00e4ge")));
    const QString shortBody = QStringLiteral(
        "Hallo Zo\u00eb,\n\nich pr\u00fcfe sie bis Freitag.\n\nGr\u00fc\u00dfe\nAlex");
    // One paragraph longer than a mail line may be.
    const QString longBody = QStringLiteral("Gr\u00fc\u00dfe \u2014 ").repeated(120)
                             + QStringLiteral("\nEnde ");
    for (const QString &body : {shortBody, longBody}) {
        m_sandbox->reset();
        const auto auth = authorizerFor(Sandbox::AlexSub);
        QVERIFY(!runTask(GmailService::createReplyDraft(auth, original, body)).error);
        const QJsonObject draft = m_sandbox->drafts(Sandbox::AlexSub).at(0).toObject();
        QCOMPARE(draft.value("problems").toArray(), QJsonArray());
        QCOMPARE(storedHeader(draft, "To"), original.from);
        QCOMPARE(storedHeader(draft, "Subject"), "Re: " + original.subject);
        QCOMPARE(draft.value("body").toString(), QString(body).replace("\n", "\r\n"));

        const QString rawText = draft.value("rawText").toString();
        const QStringList lines = headerLinesOf(rawText);
        const QString head = lines.join("\r\n");
        QVERIFY(std::all_of(head.cbegin(), head.cend(), [](QChar c) { return c.unicode() < 0x80; }));
        QVERIFY(lines.at(0).startsWith("To: =?UTF-8?B?"));
        QVERIFY(rawText.contains(original.from.mid(original.from.indexOf(u'<')) + "\r\n"));
        for (const QString &line : lines)
            QVERIFY2(line.size() <= 78, qPrintable(line));
        QVERIFY(lines.contains(body == shortBody ? "Content-Transfer-Encoding: 8bit"
                                                 : "Content-Transfer-Encoding: quoted-printable"));
    }
}

void GmailServiceTest::removesLabels()
{
    auto auth = authorizerFor(Sandbox::AlexSub);
    auto outcome = runTask(GmailService::modifyLabels(auth, Newest, {GmailService::UnreadLabel}));
    QVERIFY(!outcome.error);
    const QJsonObject request = m_sandbox->requestLog().at(0).toObject();
    QCOMPARE(request.value("method").toString(), QStringLiteral("POST"));
    QCOMPARE(request.value("path").toString(), "/gmail/v1/users/me/messages/" + Newest + "/modify");
    QCOMPARE(request.value("json").toObject(), QJsonObject({{"removeLabelIds", QJsonArray{"UNREAD"}}}));

    auto unread = runTask(GmailService::list(auth, {"INBOX", "UNREAD"}, 25));
    QVERIFY(!findMessage(*unread.value, Newest));
    QVERIFY(!unread.value->isEmpty());

    QVERIFY(!runTask(GmailService::modifyLabels(auth, Newest, {GmailService::InboxLabel})).error);
    QVERIFY(!findMessage(listInbox(), Newest));
}

void GmailServiceTest::passesServerErrorsThrough()
{
    auto bad = std::make_shared<BearerAuthorizer>("not-a-token");
    auto listing = runTask(GmailService::list(bad, {"INBOX"}, 25));
    QVERIFY(listing.error);
    QCOMPARE(listing.error->domain(), QStringLiteral("rest.error"));
    QCOMPARE(listing.error->code(), 401);
    QVERIFY(!listing.error->description().isEmpty());

    auto missing = runTask(GmailService::bodyText(authorizerFor(Sandbox::AlexSub), "ffffffffffffffff"));
    QVERIFY(missing.error);
    QCOMPARE(missing.error->code(), 404);
}

QTEST_GUILESS_MAIN(GmailServiceTest)
#include "tst_gmailservice.moc"
