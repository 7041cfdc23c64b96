// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SandboxTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

using namespace sandboxtest;

// The resumable upload protocol: start, chunks with offsets, query, finalize,
// cancel, granularity, recovery after a lost chunk, and streaming to disk.
class UploadTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> sandbox;
    QString token;

    Sandbox::Reply start(qint64 total,
                         const QByteArray &metadata = R"({"name":"report.pdf","parents":["fldProjects"]})",
                         const QByteArray &authorization = {})
    {
        return sandbox->send("POST", sandbox->url("/resumable/upload/drive/v3/files?prettyPrint=false"),
                             {{"Authorization", authorization.isEmpty() ? bearer(token) : authorization},
                              {"Content-Type", "application/json; charset=utf-8"},
                              {"X-Goog-Upload-Protocol", "resumable"},
                              {"X-Goog-Upload-Command", "start"},
                              {"X-Goog-Upload-Content-Type", "application/pdf"},
                              {"X-Goog-Upload-Content-Length", QByteArray::number(total)}},
                             metadata);
    }

    QUrl startUrl(qint64 total)
    {
        const auto reply = start(total);
        if (reply.status != 200)
            return {};
        return QUrl(QString::fromUtf8(reply.header("X-Goog-Upload-URL")));
    }

    Sandbox::Reply put(const QUrl &url, const QByteArray &command, qint64 offset,
                       const QByteArray &bytes = {})
    {
        QList<QPair<QByteArray, QByteArray>> headers{{"X-Goog-Upload-Protocol", "resumable"},
                                                     {"X-Goog-Upload-Command", command}};
        if (offset >= 0)
            headers.append({"X-Goog-Upload-Offset", QByteArray::number(offset)});
        return sandbox->send("PUT", url, headers, bytes);
    }

    static QByteArray pattern(qint64 size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = char((i * 31 + i / 977) & 0xff);
        return bytes;
    }

    QJsonArray childrenOf(const QString &folder)
    {
        QUrl url = sandbox->url("/drive/v3/files");
        QUrlQuery query;
        query.addQueryItem("q", QStringLiteral("'%1' in parents and trashed = false").arg(folder));
        query.addQueryItem("fields", "files(id,name,mimeType)");
        url.setQuery(query);
        return sandbox->send("GET", url, {{"Authorization", bearer(token)}}).json().value("files").toArray();
    }

private slots:
    void initTestCase() { TL_START_SANDBOX(sandbox); }

    void init() { token = sandboxtest::resetWithToken(*sandbox); }

    void chunkedUploadCompletesAndIsListed()
    {
        const QByteArray bytes = pattern(600000);
        const auto started = start(bytes.size());
        QCOMPARE(started.status, 200);
        QCOMPARE(started.header("X-Goog-Upload-Status"), QByteArray("active"));
        const QUrl url(QString::fromUtf8(started.header("X-Goog-Upload-URL")));
        QVERIFY(url.isValid());
        // Chunks carry no authorization: the upload URL names the upload.
        const auto first = put(url, "upload", 0, bytes.left(262144));
        QCOMPARE(first.status, 200);
        QCOMPARE(first.header("X-Goog-Upload-Status"), QByteArray("active"));
        QCOMPARE(first.header("X-Goog-Upload-Size-Received"), QByteArray("262144"));
        const auto last = put(url, "upload, finalize", 262144, bytes.mid(262144));
        QCOMPARE(last.status, 200);
        QCOMPARE(last.header("X-Goog-Upload-Status"), QByteArray("final"));
        const QJsonObject file = last.json();
        QCOMPARE(file.value("name").toString(), QStringLiteral("report.pdf"));
        QCOMPARE(file.value("mimeType").toString(), QStringLiteral("application/pdf"));

        const QJsonObject session = sandbox->uploads().at(0).toObject();
        QCOMPARE(session.value("received").toInteger(), bytes.size());
        QCOMPARE(session.value("sha256").toString(),
                 QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
        bool listed = false;
        for (const QJsonValue &child : childrenOf("fldProjects"))
            listed = listed || child.toObject().value("id") == file.value("id");
        QVERIFY(listed);
        // A repeated finalize is answered with the same final file.
        QCOMPARE(put(url, "finalize", 600000).json().value("id"), file.value("id"));
    }

    void wholeFileInOneRequest()
    {
        const QUrl url = startUrl(10);
        const auto reply = put(url, "upload, finalize", 0, "0123456789");
        QCOMPARE(reply.header("X-Goog-Upload-Status"), QByteArray("final"));
        QCOMPARE(sandbox->uploads().at(0).toObject().value("received").toInt(), 10);
        startUrl(5);
        startUrl(7); // listed in the order they started
        QCOMPARE(sandbox->uploads().last().toObject().value("total").toInt(), 7);
    }

    void wrongOffsetIsRefusedThenQueryRecovers()
    {
        const QByteArray bytes = pattern(600000);
        const QUrl url = startUrl(bytes.size());
        QCOMPARE(put(url, "upload", 0, bytes.left(262144)).status, 200);
        const auto wrong = put(url, "upload", 131072, bytes.mid(131072, 262144));
        QCOMPARE(wrong.status, 400);
        QCOMPARE(wrong.header("X-Goog-Upload-Status"), QByteArray("active"));
        const auto query = put(url, "query", -1);
        QCOMPARE(query.status, 200);
        QCOMPARE(query.header("X-Goog-Upload-Size-Received"), QByteArray("262144"));
        QCOMPARE(query.header("X-Goog-Upload-Chunk-Granularity"), QByteArray("262144"));
        QCOMPARE(put(url, "upload, finalize", 262144, bytes.mid(262144)).header("X-Goog-Upload-Status"),
                 QByteArray("final"));
        QCOMPARE(sandbox->uploads().at(0).toObject().value("sha256").toString(),
                 QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
    }

    void finalizeBeforeAllBytesIsRefused()
    {
        const QUrl url = startUrl(1000);
        const auto early = put(url, "upload, finalize", 0, pattern(600));
        QCOMPARE(early.status, 400);
        QCOMPARE(early.header("X-Goog-Upload-Status"), QByteArray("active"));
        QCOMPARE(early.header("X-Goog-Upload-Size-Received"), QByteArray("600"));
        QCOMPARE(put(url, "upload, finalize", 600, pattern(400)).header("X-Goog-Upload-Status"),
                 QByteArray("final"));
    }

    void granularityIsAnnouncedAndEnforced()
    {
        // Google's 256 KiB unless turned off.
        const auto started = start(600000);
        QCOMPARE(started.header("X-Goog-Upload-Chunk-Granularity"), QByteArray("262144"));
        const QUrl url(QString::fromUtf8(started.header("X-Goog-Upload-URL")));
        QCOMPARE(put(url, "upload", 0, pattern(100000)).status, 400);
        QCOMPARE(put(url, "upload", 0, pattern(262144)).status, 200);
        QCOMPARE(put(url, "upload, finalize", 262144, pattern(600000 - 262144)).status, 200);
        sandbox->setUploadGranularity(0);
        const auto free = start(600000);
        QVERIFY(free.header("X-Goog-Upload-Chunk-Granularity").isEmpty());
        QCOMPARE(put(QUrl(QString::fromUtf8(free.header("X-Goog-Upload-URL"))), "upload", 0, pattern(100000))
                     .status,
                 200);
    }

    void cancelWaitsForTheChunkBeingWritten()
    {
        QTemporaryDir dir;
        Sandbox withData({"--data", dir.path()});
        const QString accessToken = withData.accessToken(Sandbox::AlexSub);
        const auto started = withData.send("POST", withData.url("/resumable/upload/drive/v3/files"),
                                           {{"Authorization", bearer(accessToken)},
                                            {"X-Goog-Upload-Protocol", "resumable"},
                                            {"X-Goog-Upload-Command", "start"}},
                                           R"({"name":"slow.bin"})");
        const QUrl url(QString::fromUtf8(started.header("X-Goog-Upload-URL")));
        const QByteArray bytes = pattern(524288);
        QTcpSocket chunk;
        chunk.connectToHost(QStringLiteral("127.0.0.1"), quint16(url.port()));
        QVERIFY(chunk.waitForConnected(5000));
        chunk.write(
            "PUT " + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)
            + " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
              "X-Goog-Upload-Command: upload\r\nX-Goog-Upload-Offset: 0\r\nContent-Length: 524288\r\n\r\n"
            + bytes.left(262144));
        QVERIFY(QTest::qWaitFor([&] { return withData.uploads().at(0).toObject().value("writing").toBool(); },
                                10000));
        bool restSent = false;
        QTimer::singleShot(300, &chunk, [&] {
            chunk.write(bytes.mid(262144));
            restSent = true;
        });
        const auto cancel = withData.send("PUT", url, {{"X-Goog-Upload-Command", "cancel"}});
        QVERIFY(restSent); // the cancel waited for the chunk
        QCOMPARE(cancel.status, 200);
        QCOMPARE(cancel.header("X-Goog-Upload-Status"), QByteArray("cancelled"));
        QVERIFY(QTest::qWaitFor([&] { return chunk.bytesAvailable() > 0; }, 5000));
        const QByteArray answer = chunk.readAll();
        QVERIFY2(answer.startsWith("HTTP/1.1 200"), answer.constData());
        QVERIFY(answer.contains("X-Goog-Upload-Size-Received: 524288"));
        QCOMPARE(withData.uploads().at(0).toObject().value("received").toInt(), 524288);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty()); // removed once written, not before
    }

    void cancelledUploadStaysCancelled()
    {
        const QUrl url = startUrl(1000);
        const auto cancel = put(url, "cancel", -1);
        QCOMPARE(cancel.status, 200);
        QCOMPARE(cancel.header("X-Goog-Upload-Status"), QByteArray("cancelled"));
        const auto later = put(url, "upload, finalize", 0, pattern(1000));
        QCOMPARE(later.status, 400);
        QCOMPARE(later.header("X-Goog-Upload-Status"), QByteArray("cancelled"));
        QCOMPARE(childrenOf("fldProjects").size(), 3);
    }

    void badStartsGetErrorBodies()
    {
        const auto noToken = start(10, "{}", "Bearer nope");
        QCOMPARE(noToken.status, 401);
        QCOMPARE(noToken.json().value("error").toObject().value("status").toString(),
                 QStringLiteral("UNAUTHENTICATED"));
        QCOMPARE(start(10, R"({"name":"x","parents":["noSuchFolder"]})").status, 404);
        QCOMPARE(start(10, R"({"name":"x","parents":["docCharter"]})").status, 404); // not a folder
        QCOMPARE(start(10, "{not json").status, 400);
        const auto plain = sandbox->send("POST", sandbox->url("/resumable/upload/drive/v3/files"),
                                         {{"Authorization", bearer(token)}}, "{}");
        QCOMPARE(plain.status, 400);
        QCOMPARE(
            put(QUrl(sandbox->url("/resumable/upload/drive/v3/files?upload_id=unknown")), "query", -1).status,
            404);
        const QUrl url = startUrl(10);
        QCOMPARE(put(url, "upload, explode", 0, "0123456789").status, 400);
    }

    void droppedChunkKeepsOffsetAndContinues()
    {
        const QByteArray bytes = pattern(200000);
        const QUrl url = startUrl(bytes.size());
        // Every try is dropped (the client resends an unanswered PUT once by itself).
        sandbox->injectFault({{"route", "PUT /resumable/upload/*"}, {"drop", true}, {"count", -1}});
        const auto dropped = put(url, "upload", 0, bytes.left(100000));
        QCOMPARE(dropped.status, 0); // no answer at all
        sandbox->clearFaults();
        QCOMPARE(put(url, "query", -1).header("X-Goog-Upload-Size-Received"), QByteArray("0"));
        QCOMPARE(put(url, "upload, finalize", 0, bytes).header("X-Goog-Upload-Status"), QByteArray("final"));
    }

    void bytesGoToTheDataFolderWithoutFillingMemory()
    {
        QTemporaryDir dir;
        Sandbox withData({"--data", dir.path()});
        QVERIFY(withData.isRunning());
        const QString accessToken = withData.accessToken(Sandbox::AlexSub);
        const qint64 size = 160ll << 20;
        const auto started = withData.send("POST",
                                           withData.url("/upload/drive/v3/files?uploadType=resumable"),
                                           {{"Authorization", bearer(accessToken)},
                                            {"X-Goog-Upload-Protocol", "resumable"},
                                            {"X-Goog-Upload-Command", "start"},
                                            {"X-Goog-Upload-Content-Length", QByteArray::number(size)}},
                                           R"({"name":"big.bin"})");
        QCOMPARE(started.status, 200);
        const QByteArray bytes = pattern(size);
        const auto done = withData.send(
            "PUT", QUrl(QString::fromUtf8(started.header("X-Goog-Upload-URL"))),
            {{"X-Goog-Upload-Command", "upload, finalize"}, {"X-Goog-Upload-Offset", "0"}}, bytes);
        QCOMPARE(done.header("X-Goog-Upload-Status"), QByteArray("final"));
        QFile stored(QDir(dir.path()).filePath(done.json().value("id").toString()));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.size(), size);
        QVERIFY(stored.read(1 << 20) == bytes.left(1 << 20));
        // The sandbox's peak memory stays far below the upload's size.
        QFile status(QStringLiteral("/proc/%1/status").arg(withData.processId()));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const QByteArray text = status.readAll();
        const int at = text.indexOf("VmHWM:");
        const qint64 peakKiB =
            text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').first().toLongLong();
        QVERIFY2(peakKiB < 96 * 1024, qPrintable(QStringLiteral("peak %1 KiB").arg(peakKiB)));
    }
};

QTEST_GUILESS_MAIN(UploadTest)
#include "tst_upload.moc"
