// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SandboxTestSupport.h"

#include <QTest>

using namespace sandboxtest;

// The API surface the clients rely on: bearer checks, Gmail, Calendar and
// Drive parameters, the model endpoint, faults and the request log.
class ApiTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> sandbox;
    QString token;

    Sandbox::Reply get(const QString &path, const QList<QPair<QString, QString>> &params = {})
    {
        QUrl url = sandbox->url(path);
        QUrlQuery query;
        for (const auto &[name, value] : params)
            query.addQueryItem(name, QString::fromLatin1(QUrl::toPercentEncoding(value)));
        url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
        return sandbox->send("GET", url, {{"Authorization", bearer(token)}});
    }

    Sandbox::Reply post(const QString &path, const QJsonObject &body)
    {
        return sandbox->send("POST", sandbox->url(path),
                             {{"Authorization", bearer(token)}, {"Content-Type", "application/json"}},
                             QJsonDocument(body).toJson());
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(sandbox); }

    void init() { token = sandboxtest::resetWithToken(*sandbox); }

    void bearerChecks()
    {
        const auto missing = sandbox->send("GET", sandbox->url("/calendar/v3/calendars/primary/events"));
        QCOMPARE(missing.status, 401);
        const QJsonObject error = missing.json().value("error").toObject();
        QCOMPARE(error.value("code").toInt(), 401);
        QCOMPARE(error.value("status").toString(), QStringLiteral("UNAUTHENTICATED"));
        QCOMPARE(error.value("errors").toArray().at(0).toObject().value("reason").toString(),
                 QStringLiteral("required"));
        sandbox->expireAccessTokens(Sandbox::AlexSub);
        const auto expired = get("/drive/v3/files");
        QCOMPARE(expired.status, 401);
        QCOMPARE(expired.json()
                     .value("error")
                     .toObject()
                     .value("errors")
                     .toArray()
                     .at(0)
                     .toObject()
                     .value("reason")
                     .toString(),
                 QStringLiteral("authError"));
        const QString narrow =
            sandbox->control("POST", "tokens", QJsonObject{{"sub", Sandbox::AlexSub}, {"scope", "openid"}})
                .toObject()
                .value("access_token")
                .toString();
        QCOMPARE(
            sandbox->send("GET", sandbox->url("/drive/v3/files"), {{"Authorization", bearer(narrow)}}).status,
            403);
    }

    void gmailListNeedsEveryLabel()
    {
        const QJsonObject unread = get("/gmail/v1/users/me/messages",
                                       {{"labelIds", "INBOX"}, {"labelIds", "UNREAD"}, {"maxResults", "25"}})
                                       .json();
        QCOMPARE(unread.value("messages").toArray().size(), 12);
        QCOMPARE(unread.value("messages").toArray().at(0).toObject().value("id").toString(),
                 QStringLiteral("18f0000000000001"));
        const QJsonObject limited =
            get("/gmail/v1/users/me/messages", {{"labelIds", "INBOX"}, {"maxResults", "5"}}).json();
        QCOMPARE(limited.value("messages").toArray().size(), 5);
        QVERIFY(limited.contains("nextPageToken"));
        const QJsonObject none = get("/gmail/v1/users/me/messages", {{"labelIds", "NO_SUCH_LABEL"}}).json();
        QVERIFY(!none.contains("messages"));
        QCOMPARE(none.value("resultSizeEstimate").toInt(), 0);
    }

    void gmailMetadataHasOnlyTheAskedHeaders()
    {
        const QJsonObject message = get("/gmail/v1/users/me/messages/18f0000000000003",
                                        {{"format", "metadata"},
                                         {"metadataHeaders", "from"},
                                         {"metadataHeaders", "Subject"},
                                         {"metadataHeaders", "Date"}})
                                        .json();
        QStringList names;
        for (const QJsonValue &header : message.value("payload").toObject().value("headers").toArray())
            names.append(header.toObject().value("name").toString());
        names.sort();
        QCOMPARE(names, (QStringList{"Date", "From", "Subject"}));
        const auto noDate = get("/gmail/v1/users/me/messages/18f0000000000006",
                                {{"format", "metadata"}, {"metadataHeaders", "Date"}})
                                .json();
        QVERIFY(noDate.value("payload").toObject().value("headers").toArray().isEmpty());
    }

    void gmailFullPayloadDecodes()
    {
        const QJsonObject message =
            get("/gmail/v1/users/me/messages/18f0000000000001", {{"format", "full"}}).json();
        const QJsonObject payload = message.value("payload").toObject();
        QCOMPARE(payload.value("mimeType").toString(), QStringLiteral("multipart/alternative"));
        const QJsonObject plain = payload.value("parts").toArray().at(0).toObject();
        QCOMPARE(plain.value("mimeType").toString(), QStringLiteral("text/plain"));
        const QByteArray data = plain.value("body").toObject().value("data").toString().toLatin1();
        QVERIFY(!data.contains('+') && !data.contains('/') && !data.contains('='));
        QVERIFY(QByteArray::fromBase64(data, QByteArray::Base64UrlEncoding).startsWith("Hi Alex,"));
        QCOMPARE(get("/gmail/v1/users/me/messages/18f00000000000ff").status, 404);
        QCOMPARE(get("/gmail/v1/users/me/messages/not-an-id").status, 400);
        QCOMPARE(get("/gmail/v1/users/someone@else.example/messages").status, 403);
    }

    void gmailModifyAndDraft()
    {
        QCOMPARE(post("/gmail/v1/users/me/messages/18f0000000000001/modify",
                      {{"removeLabelIds", QJsonArray{"UNREAD", "INBOX"}}})
                     .status,
                 200);
        const QJsonArray labels = get("/gmail/v1/users/me/messages/18f0000000000001", {{"format", "minimal"}})
                                      .json()
                                      .value("labelIds")
                                      .toArray();
        QVERIFY(!labels.contains("UNREAD") && !labels.contains("INBOX"));
        QCOMPARE(post("/gmail/v1/users/me/messages/18f0000000000002/modify", {}).status, 200);
        QCOMPARE(sandbox
                     ->send("POST", sandbox->url("/gmail/v1/users/me/messages/18f0000000000002/modify"),
                            {{"Authorization", bearer(token)}}, "{oops")
                     .status,
                 400);

        const QByteArray raw =
            "To: a@b.example\r\nSubject: Re: Q3 roadmap review \xe2\x80\x94 agenda\r\n"
            "In-Reply-To: <CAF18f0000000000001@mail.gmail.com>\r\n\r\nSounds good \xc3\xa9";
        const auto draft = post("/gmail/v1/users/me/drafts",
                                {{"message", QJsonObject{{"raw", QString::fromLatin1(base64Url(raw))},
                                                         {"threadId", "18f0000000000001"}}}});
        QCOMPARE(draft.status, 200);
        QCOMPARE(draft.json().value("message").toObject().value("threadId").toString(),
                 QStringLiteral("18f0000000000001"));
        const QJsonObject stored = sandbox->drafts(Sandbox::AlexSub).at(0).toObject();
        QCOMPARE(stored.value("rawText").toString(), QString::fromUtf8(raw));
        // Raw UTF-8 in the header, a bare LF and an undeclared 8-bit body are named.
        QCOMPARE(stored.value("problems").toArray(),
                 (QJsonArray{"8-bit bytes in the header", "8-bit body without a transfer encoding for it"}));
        const QByteArray sloppy = "Subject: \xc3\x9c\nTo: a@b.example\r\n\r\n\xc3\xa9";
        post("/gmail/v1/users/me/drafts",
             {{"message", QJsonObject{{"raw", QString::fromLatin1(base64Url(sloppy))}}}});
        QCOMPARE(sandbox->drafts(Sandbox::AlexSub).at(1).toObject().value("problems").toArray().size(), 3);

        // Encoded words (B and Q, any charset) and the transfer encoding are
        // decoded as the provider stores the message.
        const QByteArray encoded = "To: =?ISO-8859-1?Q?Zo=EB_M=FCller?= <zoe@x.example>\r\n"
                                   "Subject: =?UTF-8?B?w5xiZXI=?=\r\n =?UTF-8?Q?pr=C3=BCfung?= heute\r\n"
                                   "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                                   "Gr=C3=BC=C3=9Fe, eine sehr lange Zeile=\r\n geht weiter\r\n";
        QCOMPARE(post("/gmail/v1/users/me/drafts",
                      {{"message", QJsonObject{{"raw", QString::fromLatin1(base64Url(encoded))}}}})
                     .status,
                 200);
        const QJsonObject decoded = sandbox->drafts(Sandbox::AlexSub).at(2).toObject();
        const QJsonArray headers = decoded.value("headers").toArray();
        QCOMPARE(headers.at(0)["value"].toString(), QStringLiteral("Zo\u00eb M\u00fcller <zoe@x.example>"));
        QCOMPARE(headers.at(1)["value"].toString(), QStringLiteral("\u00dcberpr\u00fcfung heute"));
        QCOMPARE(decoded.value("body").toString(),
                 QStringLiteral("Gr\u00fc\u00dfe, eine sehr lange Zeile geht weiter\r\n"));
        QCOMPARE(decoded.value("problems").toArray().size(), 0);
        QCOMPARE(post("/gmail/v1/users/me/drafts", {{"message", QJsonObject{{"raw", "***"}}}}).status, 400);
        QCOMPARE(post("/gmail/v1/users/me/drafts",
                      {{"message", QJsonObject{{"raw", QString::fromLatin1(base64Url(raw))},
                                               {"threadId", "18f0000000000fff"}}}})
                     .status,
                 404);
    }

    void calendarWindowOrderAndLimit()
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QString min = now.toString(Qt::ISODate), max = now.addDays(14).toString(Qt::ISODate);
        const QJsonObject page = get("/calendar/v3/calendars/primary/events", {{"singleEvents", "true"},
                                                                               {"orderBy", "startTime"},
                                                                               {"maxResults", "25"},
                                                                               {"timeMin", min},
                                                                               {"timeMax", max}})
                                     .json();
        const QJsonArray items = page.value("items").toArray();
        QCOMPARE(items.size(), 25);
        QVERIFY(page.contains("nextPageToken")); // more than 25 in fourteen days
        QDateTime previous;
        for (const QJsonValue &item : items) {
            const QJsonObject start = item.toObject().value("start").toObject();
            if (start.isEmpty())
                continue;
            const QDateTime at =
                start.contains("dateTime")
                    ? QDateTime::fromString(start.value("dateTime").toString(), Qt::ISODate)
                    : QDateTime(QDate::fromString(start.value("date").toString(), Qt::ISODate), QTime(0, 0));
            QVERIFY(!previous.isValid() || previous <= at);
            previous = at;
            QVERIFY(at < now.addDays(14));
        }
        QCOMPARE(get("/calendar/v3/calendars/primary/events", {{"orderBy", "startTime"}}).status, 400);
        QCOMPARE(get("/calendar/v3/calendars/primary/events", {{"timeMin", "tomorrow"}}).status, 400);
        QCOMPARE(get("/calendar/v3/calendars/primary/events", {{"timeMin", "2025-06-03T10:00:00"}}).status,
                 400);
    }

    void driveListsFoldersFirstWithFieldMask()
    {
        const QJsonObject page = get("/drive/v3/files",
                                     {{"q", "'fldArchive150' in parents and trashed = false"},
                                      {"orderBy", "folder,name"},
                                      {"pageSize", "100"},
                                      {"fields", "files(id,name,mimeType,modifiedTime,webViewLink)"}})
                                     .json();
        const QJsonArray files = page.value("files").toArray();
        QCOMPARE(files.size(), 100);
        QCOMPARE(page.keys(), QStringList{"files"});
        QCOMPARE(files.at(19).toObject().value("mimeType").toString(),
                 QStringLiteral("application/vnd.google-apps.folder"));
        QCOMPARE(files.at(20).toObject().value("name").toString(), QStringLiteral("Scan 001.pdf"));
        QCOMPARE(files.at(0).toObject().keys(),
                 (QStringList{"id", "mimeType", "modifiedTime", "name", "webViewLink"}));
        const QJsonArray root = get("/drive/v3/files", {{"q", "'root' in parents and trashed = false"}})
                                    .json()
                                    .value("files")
                                    .toArray();
        QCOMPARE(root.size(), 10); // the trashed draft is left out
        QCOMPARE(get("/drive/v3/files", {{"q", "name contains 'x'"}}).status, 400);
        QCOMPARE(get("/drive/v3/files", {{"q", "'nope' in parents"}}).status, 404);
        QCOMPARE(get("/drive/v3/files", {{"fields", "files(id,bogus)"}}).status, 400);
    }

    void modelAnswersDeterministically()
    {
        const QJsonObject request{
            {"model", "llama3.2"},
            {"messages", QJsonArray{QJsonObject{
                             {"role", "user"},
                             {"content", "Summarize this email.\n\nFrom: Priya <p@x.example>\nSubject: Q3\n\n"
                                         "Hi Alex. Could you send me your three priorities by Wednesday?"}}}},
            {"response_format",
             QJsonObject{{"type", "json_schema"},
                         {"json_schema", QJsonObject{{"name", "EmailSummary"}, {"schema", QJsonObject{}}}}}}};
        const auto first = post("/v1/chat/completions", request);
        QCOMPARE(first.status, 200);
        const QString content = first.json()
                                    .value("choices")
                                    .toArray()
                                    .at(0)
                                    .toObject()
                                    .value("message")
                                    .toObject()
                                    .value("content")
                                    .toString();
        const QJsonObject summary = QJsonDocument::fromJson(content.toUtf8()).object();
        QVERIFY(summary.value("summary").toString().contains("Q3"));
        QVERIFY(summary.value("actionItem").toString().contains("priorities"));
        QCOMPARE(post("/v1/chat/completions", request).json().value("choices"),
                 first.json().value("choices"));
        QJsonObject other = request;
        other["model"] = "gpt-9";
        QCOMPARE(post("/v1/chat/completions", other).status, 404);
        sandbox->control("POST", "model", QJsonObject{{"loading", true}});
        QCOMPARE(post("/v1/chat/completions", request).status, 503);
        QCOMPARE(get("/v1/models").status, 503);
        sandbox->control("POST", "model", QJsonObject{{"loading", false}});
        QCOMPARE(get("/v1/models").json().value("data").toArray().at(0).toObject().value("id").toString(),
                 QStringLiteral("llama3.2"));
    }

    void faultsApplyForTheirCountThenStop()
    {
        sandbox->injectFault({{"route", "GET /drive/v3/files"}, {"status", 503}, {"count", 2}});
        QCOMPARE(get("/drive/v3/files").status, 503);
        QCOMPARE(get("/drive/v3/files").status, 503);
        QCOMPARE(get("/drive/v3/files").status, 200);
        sandbox->injectFault({{"route", "/gmail/*"},
                              {"status", 502},
                              {"body", "<html>down</html>"},
                              {"contentType", "text/html"},
                              {"skip", 1}});
        QCOMPARE(get("/gmail/v1/users/me/messages").status, 200);
        const auto html = get("/gmail/v1/users/me/messages");
        QCOMPARE(html.status, 502);
        QCOMPARE(html.body, QByteArray("<html>down</html>"));
    }

    void logShowsConnectionReuseAndNoSecrets()
    {
        sandbox->clearLog();
        get("/gmail/v1/users/me/messages");
        get("/gmail/v1/users/me/messages", {{"labelIds", "INBOX"}});
        const QJsonArray log = sandbox->requestLog();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(0).toObject().value("connection"), log.at(1).toObject().value("connection"));
        QCOMPARE(log.at(1).toObject().value("query").toString(), QStringLiteral("labelIds=INBOX"));
        QVERIFY(!QJsonDocument(log).toJson().contains(token.toUtf8()));
    }

    void gmailBatchAnswersEachCallThroughItsRoute()
    {
        auto part = [](const QByteArray &id, const QByteArray &target) {
            return "--b1\r\nContent-Type: application/http\r\nContent-ID: " + id + "\r\n\r\nGET " + target
                   + " HTTP/1.1\r\nAccept: application/json\r\n\r\n\r\n";
        };
        auto batch = [&](const QByteArray &body, const QByteArray &type = "multipart/mixed; boundary=b1") {
            return sandbox->send("POST", sandbox->url("/batch/gmail/v1"),
                                 {{"Authorization", bearer(token)}, {"Content-Type", type}}, body);
        };
        sandbox->clearLog();
        const auto reply = batch(part("<a>", "/gmail/v1/users/me/messages/18f0000000000001?format=minimal")
                                 + part("<b>", "/gmail/v1/users/me/messages/18f00000000000ff")
                                 + "--b1--\r\n");
        QCOMPARE(reply.status, 200);
        const QByteArray type = reply.header("Content-Type");
        QVERIFY2(type.startsWith("multipart/mixed; boundary="), type);
        const QByteArray delimiter = "--" + type.mid(type.indexOf('=') + 1);
        QVERIFY(reply.body.startsWith(delimiter
                                      + "\r\nContent-Type: application/http\r\n"
                                        "Content-ID: <response-a>\r\n\r\nHTTP/1.1 200 OK\r\n"));
        QVERIFY(reply.body.contains("\r\n" + delimiter
                                    + "\r\nContent-Type: application/http\r\n"
                                      "Content-ID: <response-b>\r\n\r\nHTTP/1.1 404 Not Found\r\n"));
        QVERIFY(reply.body.contains("\"threadId\""));
        QVERIFY(reply.body.endsWith("\r\n" + delimiter + "--\r\n"));
        // Each call is logged as answered with the batch's token, then the batch.
        const QJsonArray log = sandbox->requestLog();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log.at(0)["query"].toString(), QStringLiteral("format=minimal"));
        QCOMPARE(log.at(0)["headers"]["Authorization"].toString(), QStringLiteral("Bearer <redacted>"));
        QCOMPARE(log.at(1)["status"].toInt(), 404);
        QCOMPARE(log.at(1)["batch"].toString(), QStringLiteral("/batch/gmail/v1"));
        QCOMPARE(log.at(2)["path"].toString(), QStringLiteral("/batch/gmail/v1"));

        QByteArray tooMany;
        for (int i = 0; i < 101; ++i)
            tooMany += part(QByteArray::number(i), "/gmail/v1/users/me/profile");
        QCOMPARE(batch(tooMany + "--b1--\r\n").status, 400);
        QCOMPARE(batch(part("<a>", "/drive/v3/files") + "--b1--\r\n").status, 400);
        QCOMPARE(batch(part("<a>", "/batch/gmail/v1") + "--b1--\r\n").status, 400);
        QCOMPARE(batch(part("<a>", "/gmail/v1/users/me/profile") + "--b1--\r\n", "application/json").status,
                 400);
        QCOMPARE(batch(part("<a>", "/gmail/v1/users/me/profile")).status, 400); // never closed
        QCOMPARE(
            batch(QByteArray(part("<a>", "/gmail/v1/users/me/profile") + "--b1--\r\n").replace("\r\n", "\n"))
                .status,
            400);
    }

    void ipv6LoopbackAnswersToo()
    {
        QUrl url = sandbox->url("/.well-known/openid-configuration");
        url.setHost("::1");
        QCOMPARE(sandbox->send("GET", url).status, 200);
    }
};

QTEST_GUILESS_MAIN(ApiTest)
#include "tst_api.moc"
