// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SandboxTestSupport.h"

#include <QTest>

using namespace sandboxtest;

// Shapes Google really answers in: short and empty pages before the end,
// bodies and attachments that come by attachmentId, the label list, and
// seed mail with threads, user labels and non-ASCII text.
class ShapesTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> sandbox;
    QString alex, mira;

    // Every page of a list: the page sizes and the ids in order.
    QPair<QList<int>, QStringList> allPages(const QString &token, const QString &path,
                                            const QString &itemsKey, QList<QPair<QString, QString>> params)
    {
        QList<int> sizes;
        QStringList ids;
        QString pageToken;
        for (int page = 0; page < 50; ++page) {
            auto query = params;
            if (!pageToken.isEmpty())
                query.append({"pageToken", pageToken});
            const QJsonObject answer = apiGet(*sandbox, token, path, query).json();
            const QJsonArray items = answer.value(itemsKey).toArray();
            sizes.append(int(items.size()));
            for (const QJsonValue &item : items)
                ids.append(item.toObject().value("id").toString());
            pageToken = answer.value("nextPageToken").toString();
            if (pageToken.isEmpty())
                break;
        }
        return {sizes, ids};
    }

    QJsonObject fullMessage(const QString &id)
    {
        return apiGet(*sandbox, alex, "/gmail/v1/users/me/messages/" + id, {{"format", "full"}}).json();
    }

    Sandbox::Reply attachment(const QString &messageId, const QString &attachmentId)
    {
        return apiGet(
            *sandbox, alex,
            QStringLiteral("/gmail/v1/users/me/messages/%1/attachments/%2").arg(messageId, attachmentId));
    }

    static QByteArray decoded(const QJsonObject &body)
    {
        return QByteArray::fromBase64(body.value("data").toString().toLatin1(),
                                      QByteArray::Base64UrlEncoding);
    }

    static QJsonObject firstPart(const QJsonObject &message)
    {
        return message.value("payload").toObject().value("parts").toArray().at(0).toObject();
    }

    static QString header(const QJsonObject &message, const QString &name)
    {
        for (const QJsonValue &h : message.value("payload").toObject().value("headers").toArray())
            if (h.toObject().value("name").toString() == name)
                return h.toObject().value("value").toString();
        return {};
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(sandbox); }

    void init()
    {
        alex = sandboxtest::resetWithToken(*sandbox);
        mira = sandbox->accessToken(Sandbox::MiraSub);
    }

    void seededShortPagesCarryEveryItem_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("itemsKey");
        QTest::addColumn<QString>("sizeName");
        QTest::newRow("calendar") << "/calendar/v3/calendars/primary/events"
                                  << "items"
                                  << "maxResults";
        QTest::newRow("drive") << "/drive/v3/files"
                               << "files"
                               << "pageSize";
    }

    void seededShortPagesCarryEveryItem()
    {
        QFETCH(QString, path);
        QFETCH(QString, itemsKey);
        QFETCH(QString, sizeName);
        const auto [sizes, ids] = allPages(mira, path, itemsKey, {{sizeName, "2"}});
        QCOMPARE(sizes.first(), 0); // an empty first page, yet not the end
        QVERIFY(sizes.size() > 2);
        for (int size : sizes)
            QVERIFY(size <= 1);
        sandbox->control("POST", "short-pages", QJsonObject{{"sub", Sandbox::MiraSub}, {"on", false}});
        const auto [whole, sameIds] = allPages(mira, path, itemsKey, {{sizeName, "100"}});
        QCOMPARE(whole, QList<int>{int(sameIds.size())});
        QCOMPARE(ids, sameIds);
        QVERIFY(!ids.isEmpty());
    }

    void shortPagesForAnyAccountByControl()
    {
        const QList<QPair<QString, QString>> params{
            {"q", "'fldArchive150' in parents"}, {"pageSize", "100"}, {"orderBy", "folder,name"}};
        const auto [before, all] = allPages(alex, "/drive/v3/files", "files", params);
        QCOMPARE(before, (QList<int>{100, 50}));
        sandbox->control("POST", "short-pages", QJsonObject{{"sub", Sandbox::AlexSub}});
        const auto [sizes, ids] = allPages(alex, "/drive/v3/files", "files", params);
        QCOMPARE(sizes, (QList<int>{0, 50, 50, 50}));
        QCOMPARE(ids, all);
        // A field selection without nextPageToken leaves it out, as Drive does.
        const QJsonObject masked = apiGet(*sandbox, alex, "/drive/v3/files",
                                          params + QList<QPair<QString, QString>>{{"fields", "files(id)"}})
                                       .json();
        QVERIFY(!masked.contains("nextPageToken"));
    }

    void largeBodyComesAsAttachment()
    {
        const QJsonObject message = fullMessage("18f0000000000028");
        const QJsonObject plain = firstPart(message);
        QCOMPARE(plain.value("mimeType").toString(), QStringLiteral("text/plain"));
        const QJsonObject body = plain.value("body").toObject();
        QVERIFY(!body.contains("data"));
        QVERIFY(body.value("size").toInt() > 64 * 1024);
        const auto fetched = attachment("18f0000000000028", body.value("attachmentId").toString());
        QCOMPARE(fetched.status, 200);
        const QByteArray text = decoded(fetched.json());
        QCOMPARE(text.size(), body.value("size").toInt());
        QVERIFY(QString::fromUtf8(text).startsWith(QStringLiteral("Hej Alex")));
        // Small bodies stay inline; a raised limit brings the large one inline too.
        QVERIFY(firstPart(fullMessage("18f0000000000001")).value("body").toObject().contains("data"));
        sandbox->control("POST", "inline-body-limit", QJsonObject{{"bytes", 1 << 20}});
        QCOMPARE(decoded(firstPart(fullMessage("18f0000000000028")).value("body").toObject()), text);
    }

    void attachmentsComeByIdOnly()
    {
        const QJsonObject payload = fullMessage("18f0000000000027").value("payload").toObject();
        QCOMPARE(payload.value("mimeType").toString(), QStringLiteral("multipart/mixed"));
        const QJsonArray parts = payload.value("parts").toArray();
        QCOMPARE(parts.size(), 3);
        const QJsonObject photo = parts.at(1).toObject();
        QCOMPARE(photo.value("filename").toString(), QStringLiteral("Porto de \u00c5lesund.jpg"));
        QCOMPARE(photo.value("partId").toString(), QStringLiteral("1"));
        const QJsonObject body = photo.value("body").toObject();
        QVERIFY(!body.contains("data"));
        const QByteArray bytes = decoded(
            attachment("18f0000000000027", body.value("attachmentId").toString()).json());
        QCOMPARE(bytes.size(), body.value("size").toInt());
        QVERIFY(bytes.startsWith("\xff\xd8\xff"));
        QCOMPARE(attachment("18f0000000000027", "ANGjdJnope").status, 404);
        QCOMPARE(attachment("18f0000000000001", body.value("attachmentId").toString()).status,
                 404); // another message's
        // The raw form carries the nested parts whole, each multipart with its own boundary.
        const QJsonObject raw = apiGet(*sandbox, alex, "/gmail/v1/users/me/messages/18f0000000000027",
                                       {{"format", "raw"}})
                                    .json();
        const QByteArray text = QByteArray::fromBase64(raw.value("raw").toString().toLatin1(),
                                                       QByteArray::Base64UrlEncoding);
        QVERIFY(text.contains("filename*=UTF-8''Porto%20de%20%C3%85lesund.jpg"));
        QVERIFY(text.contains("--000000000000f6e5d4c3b2a1--"));
    }

    void labelListIsShapedAsGmails()
    {
        const QJsonArray labels =
            apiGet(*sandbox, alex, "/gmail/v1/users/me/labels").json().value("labels").toArray();
        QJsonObject inbox, clients;
        for (const QJsonValue &label : labels) {
            if (label["id"] == QStringLiteral("INBOX"))
                inbox = label.toObject();
            if (label["id"] == QStringLiteral("Label_2"))
                clients = label.toObject();
        }
        QCOMPARE(inbox.value("type").toString(), QStringLiteral("system"));
        QCOMPARE(clients.keys(),
                 (QStringList{"id", "labelListVisibility", "messageListVisibility", "name", "type"}));
        QCOMPARE(clients.value("name").toString(), QStringLiteral("Work/Clients"));
        QCOMPARE(clients.value("type").toString(), QStringLiteral("user"));
        const QJsonArray miras =
            apiGet(*sandbox, mira, "/gmail/v1/users/me/labels").json().value("labels").toArray();
        for (const QJsonValue &label : miras)
            QCOMPARE(label["type"].toString(), QStringLiteral("system"));
    }

    void threadOfSeveralUnderAUserLabel()
    {
        const QJsonArray listed = apiGet(*sandbox, alex, "/gmail/v1/users/me/messages",
                                         {{"labelIds", "Label_3"}})
                                      .json()
                                      .value("messages")
                                      .toArray();
        QCOMPARE(listed.size(), 3);
        for (const QJsonValue &stub : listed)
            QCOMPARE(stub["threadId"].toString(), QStringLiteral("18f0000000000027"));
        const QJsonObject sent = apiGet(*sandbox, alex, "/gmail/v1/users/me/messages/18f0000000000026",
                                        {{"format", "metadata"}})
                                     .json();
        QCOMPARE(header(sent, "To"), QStringLiteral("Jo\u00e3o Pereira <joao.pereira@example.pt>"));
        QCOMPARE(header(sent, "In-Reply-To"), QStringLiteral("<CAF18f0000000000027@mail.gmail.com>"));
        const QJsonObject receipt = apiGet(*sandbox, alex, "/gmail/v1/users/me/messages/18f0000000000029",
                                           {{"format", "metadata"}})
                                        .json();
        QCOMPARE(header(receipt, "From"),
                 QStringLiteral("\u0141ukasz \u017b\u00f3\u0142\u0107 <lukasz@zolc.example>"));
        QVERIFY(receipt.value("labelIds").toArray().contains(QStringLiteral("Label_1")));
        // The inbox facts stay as they were.
        QCOMPARE(apiGet(*sandbox, alex, "/gmail/v1/users/me/messages",
                        {{"labelIds", "INBOX"}, {"maxResults", "500"}})
                     .json()
                     .value("messages")
                     .toArray()
                     .size(),
                 32);
    }
};

QTEST_GUILESS_MAIN(ShapesTest)
#include "tst_shapes.moc"
