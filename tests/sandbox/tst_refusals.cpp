// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SandboxTestSupport.h"

#include <QTest>

using namespace sandboxtest;

// What Google refuses, the sandbox refuses: undeclared or mistyped query
// parameters, bodies that do not fit the request schema, unknown label ids,
// token requests without the client secret, and threads a draft may not join.
class RefusalTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> sandbox;
    QString token;

    QJsonArray labelsOf(const QString &id)
    {
        return apiGet(*sandbox, token, "/gmail/v1/users/me/messages/" + id, {{"format", "minimal"}})
            .json()
            .value("labelIds")
            .toArray();
    }

    QJsonObject draft(const QByteArray &raw, const QString &threadId)
    {
        const QJsonObject message{{"raw", QString::fromLatin1(base64Url(raw))}, {"threadId", threadId}};
        return apiPost(*sandbox, token, "/gmail/v1/users/me/drafts",
                       QJsonDocument(QJsonObject{{"message", message}}).toJson())
            .json();
    }

    // A code exchange that authenticates the client by form fields only.
    static Sandbox::Reply codeExchange(Sandbox &provider, const QList<QPair<QString, QString>> &client)
    {
        const QByteArray verifier = randomVerifier();
        const QString code = queryValue(authorize(provider, verifier), "code");
        QList<QPair<QString, QString>> pairs{{"grant_type", "authorization_code"},
                                             {"code", code},
                                             {"redirect_uri", RedirectUri},
                                             {"code_verifier", QString::fromLatin1(verifier)}};
        return postToken(provider, form(pairs + client), {});
    }

    Sandbox::Reply codeExchange(const QList<QPair<QString, QString>> &client)
    {
        return codeExchange(*sandbox, client);
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(sandbox); }

    void init() { token = sandboxtest::resetWithToken(*sandbox); }

    void undeclaredQueryParameters_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("misspelt maxResults") << "/gmail/v1/users/me/messages"
                                             << "maxResult"
                                             << "5";
        QTest::newRow("bogus on a message") << "/gmail/v1/users/me/messages/18f0000000000001"
                                            << "bogus"
                                            << "1";
        QTest::newRow("bogus on files") << "/drive/v3/files"
                                        << "bogus"
                                        << "1";
        QTest::newRow("Gmail's own on Calendar") << "/calendar/v3/calendars/primary/events"
                                                 << "$.xgafv"
                                                 << "2";
    }

    void undeclaredQueryParameters()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, value);
        const auto reply = apiGet(*sandbox, token, path, {{name, value}});
        QCOMPARE(reply.status, 400);
        const QJsonObject error = apiError(reply);
        QCOMPARE(error.value("code").toInt(), 400);
        QCOMPARE(error.value("status").toString(), QStringLiteral("INVALID_ARGUMENT"));
        QVERIFY(error.value("message").toString().contains(name));
        QCOMPARE(error.value("errors").toArray().at(0).toObject().value("location").toString(), name);
    }

    void declaredParametersStillPass()
    {
        QCOMPARE(apiGet(*sandbox, token, "/gmail/v1/users/me/messages",
                        {{"labelIds", "INBOX"},
                         {"labelIds", "UNREAD"},
                         {"includeSpamTrash", "false"},
                         {"prettyPrint", "false"},
                         {"quotaUser", "x"}})
                     .status,
                 200);
        QCOMPARE(apiGet(*sandbox, token, "/calendar/v3/calendars/primary/events",
                        {{"singleEvents", "true"}, {"timeZone", "UTC"}, {"showDeleted", "false"}})
                     .status,
                 200);
        QCOMPARE(apiGet(*sandbox, token, "/drive/v3/files",
                        {{"spaces", "drive"}, {"supportsAllDrives", "true"}, {"pageSize", "1000"}})
                     .status,
                 200);
    }

    void wrongQueryValueTypes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("integer as a word") << "/gmail/v1/users/me/messages"
                                           << "maxResults"
                                           << "five";
        QTest::newRow("negative unsigned") << "/gmail/v1/users/me/messages"
                                           << "maxResults"
                                           << "-1";
        QTest::newRow("boolean as yes") << "/calendar/v3/calendars/primary/events"
                                        << "singleEvents"
                                        << "yes";
        QTest::newRow("date-time without offset") << "/calendar/v3/calendars/primary/events"
                                                  << "updatedMin"
                                                  << "2025-06-03T10:00:00";
        QTest::newRow("value outside the enum") << "/gmail/v1/users/me/messages/18f0000000000001"
                                                << "format"
                                                << "FULL";
        QTest::newRow("above the maximum") << "/drive/v3/files"
                                           << "pageSize"
                                           << "1001";
        QTest::newRow("page token never given") << "/drive/v3/files"
                                                << "pageToken"
                                                << "xyz";
    }

    void wrongQueryValueTypes()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, value);
        const auto reply = apiGet(*sandbox, token, path, {{name, value}});
        QCOMPARE(reply.status, 400);
        QCOMPARE(apiError(reply).value("errors").toArray().at(0).toObject().value("location").toString(),
                 name);
    }

    void nonRepeatedParameterTwiceIsRefused()
    {
        QCOMPARE(
            apiGet(*sandbox, token, "/gmail/v1/users/me/messages", {{"maxResults", "5"}, {"maxResults", "6"}})
                .status,
            400);
    }

    void bodiesMustFitTheirSchema_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("string for a list") << QByteArray(R"({"removeLabelIds":"UNREAD"})");
        QTest::newRow("number in a list") << QByteArray(R"({"addLabelIds":[5]})");
        QTest::newRow("object for a list") << QByteArray(R"({"removeLabelIds":{"id":"UNREAD"}})");
        QTest::newRow("undeclared field") << QByteArray(R"({"removeLabelId":["UNREAD"]})");
    }

    void bodiesMustFitTheirSchema()
    {
        QFETCH(QByteArray, body);
        const auto reply = apiPost(*sandbox, token, "/gmail/v1/users/me/messages/18f0000000000001/modify",
                                   body);
        QCOMPARE(reply.status, 400);
        QCOMPARE(apiError(reply).value("status").toString(), QStringLiteral("INVALID_ARGUMENT"));
        QVERIFY(labelsOf("18f0000000000001").contains(QStringLiteral("UNREAD"))); // nothing changed
    }

    void nestedBodyFieldsAreChecked()
    {
        const auto reply = apiPost(*sandbox, token, "/gmail/v1/users/me/drafts",
                                   R"({"message":{"raw":"VG86IGFAYi5leGFtcGxlDQoNCmhp","threadId":7}})");
        QCOMPARE(reply.status, 400);
        QVERIFY(apiError(reply).value("message").toString().contains("message.threadId"));
        QVERIFY(sandbox->drafts(Sandbox::AlexSub).isEmpty());
    }

    void uploadMetadataMustFitTheFileSchema()
    {
        const auto reply = sandbox->send("POST", sandbox->url("/resumable/upload/drive/v3/files"),
                                         {{"Authorization", bearer(token)},
                                          {"Content-Type", "application/json"},
                                          {"X-Goog-Upload-Protocol", "resumable"},
                                          {"X-Goog-Upload-Command", "start"},
                                          {"X-Goog-Upload-Content-Length", "10"}},
                                         R"({"name":"x.txt","parents":"fldProjects"})");
        QCOMPARE(reply.status, 400);
        QVERIFY(apiError(reply).value("message").toString().contains("parents"));
        QVERIFY(sandbox->uploads().isEmpty()); // no session, so nothing lands in the root
        const auto bogus = sandbox->send(
            "POST", sandbox->url("/resumable/upload/drive/v3/files?uploadType=resumable&bogus=1"),
            {{"Authorization", bearer(token)},
             {"X-Goog-Upload-Protocol", "resumable"},
             {"X-Goog-Upload-Command", "start"}},
            R"({"name":"x.txt"})");
        QCOMPARE(bogus.status, 400);
    }

    void unknownLabelIdsInModify()
    {
        const auto add = apiPost(*sandbox, token, "/gmail/v1/users/me/messages/18f0000000000001/modify",
                                 R"({"addLabelIds":["Label_99"],"removeLabelIds":["UNREAD"]})");
        QCOMPARE(add.status, 400);
        QCOMPARE(apiError(add).value("message").toString(), QStringLiteral("Invalid label: Label_99"));
        QVERIFY(labelsOf("18f0000000000001").contains(QStringLiteral("UNREAD")));
        QCOMPARE(apiPost(*sandbox, token, "/gmail/v1/users/me/messages/18f0000000000001/modify",
                         R"({"removeLabelIds":["unread"]})")
                     .status,
                 400); // ids are case-sensitive
        QCOMPARE(apiPost(*sandbox, token, "/gmail/v1/users/me/messages/18f0000000000001/modify",
                         R"({"addLabelIds":["Label_1","STARRED"]})")
                     .status,
                 200);
        const QJsonArray labels = labelsOf("18f0000000000001");
        QVERIFY(labels.contains(QStringLiteral("Label_1")) && labels.contains(QStringLiteral("STARRED")));
    }

    void clientSecretIsRequiredByDefault()
    {
        const auto missing = codeExchange({{"client_id", Sandbox::ClientId}});
        QCOMPARE(missing.status, 400);
        QCOMPARE(missing.json().value("error").toString(), QStringLiteral("invalid_request"));
        const auto wrong = codeExchange({{"client_id", Sandbox::ClientId}, {"client_secret", "nope"}});
        QCOMPARE(wrong.status, 401);
        QCOMPARE(wrong.json().value("error").toString(), QStringLiteral("invalid_client"));
        QCOMPARE(
            codeExchange({{"client_id", Sandbox::ClientId}, {"client_secret", Sandbox::ClientSecret}}).status,
            200);
        const auto refresh = postToken(
            *sandbox,
            form({{"grant_type", "refresh_token"},
                  {"client_id", Sandbox::ClientId},
                  {"refresh_token",
                   sandbox->issueTokens(Sandbox::AlexSub).value("refresh_token").toString()}}),
            {});
        QCOMPARE(refresh.json().value("error").toString(), QStringLiteral("invalid_request"));
    }

    void publicClientsWhenTurnedOff()
    {
        sandbox->control("POST", "client-secret", QJsonObject{{"required", false}});
        QCOMPARE(codeExchange({{"client_id", Sandbox::ClientId}}).status, 200);
        QCOMPARE(codeExchange({{"client_id", Sandbox::ClientId}, {"client_secret", "nope"}}).status, 401);
        sandbox->reset();
        QCOMPARE(codeExchange({{"client_id", Sandbox::ClientId}}).status, 400);
        Sandbox lenient({"--allow-missing-client-secret"});
        QVERIFY(lenient.isRunning());
        QCOMPARE(codeExchange(lenient, {{"client_id", Sandbox::ClientId}}).status, 200);
    }

    void draftThreading_data()
    {
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<bool>("joins");
        const QByteArray reply = "<CAF18f0000000000026@mail.gmail.com>";
        const QByteArray subject = "Subject: Re: Fotos de \xc3\x85lesund \xf0\x9f\x93\xb7\r\n";
        QTest::newRow("References and subject") << subject + "References: " + reply + "\r\n" << true;
        QTest::newRow("In-Reply-To alone") << subject + "In-Reply-To: " + reply + "\r\n" << true;
        QTest::newRow("prefixes and case")
            << "Subject: RE: Fwd: re: fotos de \xc3\x85LESUND \xf0\x9f\x93\xb7\r\n"
               "References: <x@y> "
                   + reply + "\r\n"
            << true;
        QTest::newRow("another subject") << "Subject: Re: Ferry\r\nReferences: " + reply + "\r\n" << false;
        QTest::newRow("no references") << subject << false;
        QTest::newRow("a message of another thread")
            << subject + "References: <CAF18f0000000000001@mail.gmail.com>\r\n"
            << false;
    }

    void draftThreading()
    {
        QFETCH(QByteArray, headers);
        QFETCH(bool, joins);
        const QJsonObject created = draft("To: joao.pereira@example.pt\r\n" + headers + "\r\nObrigado!",
                                          "18f0000000000027");
        const QString threadId = created.value("message").toObject().value("threadId").toString();
        const QString messageId = created.value("message").toObject().value("id").toString();
        QCOMPARE(threadId, joins ? QStringLiteral("18f0000000000027") : messageId);
        QCOMPARE(sandbox->drafts(Sandbox::AlexSub).at(0).toObject().value("threadId").toString(), threadId);
    }
};

QTEST_GUILESS_MAIN(RefusalTest)
#include "tst_refusals.moc"
