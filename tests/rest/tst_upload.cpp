// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Resumable uploads to the sandbox's Drive.

#include "Fixture.h"
#include "rest/Queries.h"
#include "rest/Resources.h"
#include "rest/UploadFetcher.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace rest;

namespace {

constexpr qint64 MiB = 1024 * 1024;

class BearerAuthorizer : public Authorizer
{
public:
    explicit BearerAuthorizer(QByteArray token) : m_token(std::move(token)) {}
    bool isAuthorizedRequest(const HttpRequest &r) const override { return r.hasHeader("Authorization"); }
    void authorizeRequest(const HttpRequest &r, AuthorizeCompletion completion) override
    {
        HttpRequest copy = r;
        copy.setHeader("Authorization", "Bearer " + m_token);
        QTimer::singleShot(0, [copy, completion] { completion(copy, std::nullopt); });
    }

private:
    QByteArray m_token;
};

struct Put
{
    QString command;
    qint64 offset;
    qint64 length;
};

} // namespace

class UploadTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_files;
    QTemporaryDir m_chunks;
    QByteArray m_token;

    QString makeFile(const QString &name, qint64 size)
    {
        const QString path = m_files.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        QByteArray block(MiB, Qt::Uninitialized);
        for (qint64 i = 0; i < block.size(); ++i)
            block[i] = char((i * 131 + size) % 251);
        for (qint64 left = size; left > 0; left -= block.size())
            file.write(block.constData(), qMin<qint64>(left, block.size()));
        return path;
    }

    static QString sha256Of(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(&file);
        return QString::fromLatin1(hash.result().toHex());
    }

    struct Outcome
    {
        int calls = 0;
        RestObjectPtr object;
        std::optional<Error> error;
    };

    std::shared_ptr<Outcome> upload(const QString &path, qint64 chunkSize = UploadFetcher::DefaultChunkSize)
    {
        DriveAPIService service;
        service.rootURLString = m_sandbox->baseUrl().toString() + u'/';
        service.fetcherService->allowLocalhostRequest = true;
        service.authorizer = std::make_shared<BearerAuthorizer>(m_token);
        service.serviceUploadChunkSize = chunkSize;
        auto metadata = std::make_shared<RestObject>();
        metadata->setString("name", QFileInfo(path).fileName());
        metadata->setStringArray("parents", {"root"});
        auto query = DriveFilesCreateQuery::query(
            metadata, UploadParameters::withFileURL(QUrl::fromLocalFile(path), "application/octet-stream"));
        auto outcome = std::make_shared<Outcome>();
        // A real event loop: polling with sleeps would throttle the body's
        // hand-over to the network thread, block by block.
        auto loop = std::make_shared<QEventLoop>();
        service.executeQuery(query, [outcome, loop](const ServiceTicketPtr &, const RestObjectPtr &object,
                                                    const std::optional<Error> &error) {
            ++outcome->calls;
            outcome->object = object;
            outcome->error = error;
            loop->quit();
        });
        if (outcome->calls == 0) {
            QTimer::singleShot(60000, loop.get(), &QEventLoop::quit);
            loop->exec();
        }
        return outcome;
    }

    QList<Put> puts()
    {
        QList<Put> result;
        for (const QJsonValue &v : m_sandbox->requestLog()) {
            const QJsonObject entry = v.toObject();
            if (entry.value("method").toString() == "PUT")
                result.append({Sandbox::loggedHeader(entry, "X-Goog-Upload-Command"),
                               Sandbox::loggedHeader(entry, "X-Goog-Upload-Offset").toLongLong(),
                               Sandbox::loggedHeader(entry, "Content-Length").toLongLong()});
        }
        return result;
    }

    void verifyStored(const Outcome &outcome, const QString &path)
    {
        QVERIFY2(!outcome.error, qPrintable(outcome.error ? outcome.error->description() : QString()));
        auto file = std::dynamic_pointer_cast<DriveFileResource>(outcome.object);
        QVERIFY(file);
        QJsonObject stored;
        for (const QJsonValue &u : m_sandbox->uploads())
            if (u.toObject().value("fileId").toString() == *file->identifier())
                stored = u.toObject();
        QCOMPARE(stored.value("sha256").toString(), sha256Of(path));
        QCOMPARE(QDir(m_chunks.path()).entryList(QDir::Files), QStringList());
    }

private slots:
    void initTestCase()
    {
        TL_START_SANDBOX(m_sandbox);
        m_token = m_sandbox->accessToken(Sandbox::AlexSub).toUtf8();
        QVERIFY(!m_token.isEmpty());
        UploadFetcher::setChunkDirectory(m_chunks.path());
    }

    void init()
    {
        m_sandbox->clearFaults();
        m_sandbox->setUploadGranularity(0);
        m_sandbox->clearLog();
    }

    void smallFileGoesInOnePut()
    {
        const QString path = makeFile("ten.bin", 10);
        auto outcome = upload(path);
        verifyStored(*outcome, path);
        const QJsonArray log = m_sandbox->requestLog();
        QCOMPARE(log.size(), 2);
        const QJsonObject start = log[0].toObject();
        QCOMPARE(start.value("method").toString(), "POST");
        QCOMPARE(start.value("path").toString(), "/resumable/upload/drive/v3/files");
        QCOMPARE(Sandbox::loggedHeader(start, "X-Goog-Upload-Command"), "start");
        QCOMPARE(Sandbox::loggedHeader(start, "X-Goog-Upload-Content-Length"), "10");
        QVERIFY(Sandbox::loggedHeader(start, "User-Agent").endsWith(" (TarnlightUpload/1)"));
        QCOMPARE(start.value("json").toObject().value("name").toString(), "ten.bin");
        const auto sent = puts();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].command, "upload, finalize");
        QCOMPARE(sent[0].offset, 0);
        QCOMPARE(sent[0].length, 10);
    }

    void shortTailJoinsTheOnlyChunk()
    {
        const QString path = makeFile("tail.bin", 25 * MiB + 2000);
        auto outcome = upload(path);
        verifyStored(*outcome, path);
        const auto sent = puts();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].command, "upload, finalize");
        QCOMPARE(sent[0].length, 25 * MiB + 2000);
    }

    void largeFileGoesInChunks()
    {
        const QString path = makeFile("sixty.bin", 60 * MiB);
        auto outcome = upload(path);
        verifyStored(*outcome, path);
        const auto sent = puts();
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent[0].command, "upload");
        QCOMPARE(sent[0].length, 25 * MiB);
        QCOMPARE(sent[1].command, "upload");
        QCOMPARE(sent[1].offset, 25 * MiB);
        QCOMPARE(sent[1].length, 25 * MiB);
        QCOMPARE(sent[2].command, "upload, finalize");
        QCOMPARE(sent[2].offset, 50 * MiB);
        QCOMPARE(sent[2].length, 10 * MiB);
    }

    void chunksFollowTheGranularity()
    {
        m_sandbox->setUploadGranularity(262144);
        const QString path = makeFile("granular.bin", 3000000);
        auto outcome = upload(path, 1000000);
        verifyStored(*outcome, path);
        const auto sent = puts();
        QCOMPARE(sent.size(), 4);
        for (const Put &put : sent) {
            QCOMPARE(put.offset % 262144, 0);
            if (put.command == "upload")
                QCOMPARE(put.length, 786432);
        }
        QCOMPARE(sent.last().command, "upload, finalize");
        QCOMPARE(sent.last().length, 3000000 - 3 * 786432);
    }

    void refusedChunkIsRecoveredFromTheReceivedSize()
    {
        m_sandbox->injectFault({{"route", "PUT /resumable/upload/drive/v3/files"},
                                {"status", 400},
                                {"skip", 1},
                                {"count", 1},
                                {"headers", QJsonObject{{"X-Goog-Upload-Status", "active"}}}});
        const QString path = makeFile("recover.bin", 3000000);
        QElapsedTimer clock;
        clock.start();
        auto outcome = upload(path, 1000000);
        verifyStored(*outcome, path);
        QVERIFY(clock.elapsed() >= 1000);
        const auto sent = puts();
        QVERIFY(sent.size() >= 4);
        QCOMPARE(sent[0].command, "upload");
        QCOMPARE(sent[1].command, "upload"); // refused
        QCOMPARE(sent[2].command, "query");
        QCOMPARE(sent[3].offset, 1000000); // continued from the received size
        QCOMPARE(sent.last().command, "upload, finalize");
    }

    void failedChunkLeavesNoChunkFiles()
    {
        // The chunk after the failing one is already being staged; its copy
        // must go too, once written.
        m_sandbox->injectFault(
            {{"route", "PUT /resumable/upload/drive/v3/files"}, {"status", 500}, {"skip", 1}, {"count", 1}});
        auto outcome = upload(makeFile("broken.bin", 3000000), 1000000);
        QVERIFY(outcome->error);
        QCOMPARE(outcome->error->code(), 500);
        QCOMPARE(puts().size(), 2);
        QTRY_COMPARE(QDir(m_chunks.path()).entryList(QDir::Files), QStringList());
    }

    // Chunk files a quit or a crash left behind go at the next start; a
    // young one may be a running upload's.
    void staleChunkFilesAreRemoved()
    {
        const QDir dir(m_chunks.path());
        for (const char *name : {"upload_chunk_old", "upload_chunk_young", "other_old"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (QByteArray(name).endsWith("old"))
                QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                         QFileDevice::FileModificationTime));
        }
        UploadFetcher::removeStaleChunkFiles();
        QCOMPARE(dir.entryList(QDir::Files), (QStringList{"other_old", "upload_chunk_young"}));
        for (const QString &name : dir.entryList(QDir::Files))
            QVERIFY(QFile::remove(dir.filePath(name)));
    }

    // Quitting while a chunk is on its way removes the copies staged for it
    // and for the next one.
    void quitMidUploadLeavesNoChunkFiles()
    {
        m_sandbox->injectFault({{"route", "PUT /resumable/upload/drive/v3/files"}, {"delayMs", 1500}});
        const QDir dir(m_chunks.path());
        bool removedWhileRunning = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (dir.entryList(QDir::Files).size() < 2)
                return;
            poll.stop();
            UploadFetcher::removeChunkFilesOfThisRun();
            removedWhileRunning = dir.entryList(QDir::Files).isEmpty();
        });
        poll.start(10);
        upload(makeFile("quit.bin", 2000000), 1000000);
        QVERIFY(removedWhileRunning);
    }

    // A status check that finds every byte received while the upload is
    // still "active" has not made a file: the upload is not done until a
    // finalize succeeds.
    void allBytesReceivedButActiveIsNotDone()
    {
        const QString route = QStringLiteral("PUT /resumable/upload/drive/v3/files");
        m_sandbox->injectFault({{"route", route}, {"status", 400}, {"skip", 1}, {"count", 1}});
        m_sandbox->injectFault({{"route", route},
                                {"status", 200},
                                {"count", 1},
                                {"body", "{}"},
                                {"contentType", "application/json"},
                                {"headers", QJsonObject{{"X-Goog-Upload-Status", "active"},
                                                        {"X-Goog-Upload-Size-Received", "2000000"}}}});
        auto outcome = upload(makeFile("active.bin", 2000000), 1000000);
        // The provider holds only half, so it refuses the finalize: the
        // upload fails rather than passing for done.
        QCOMPARE(puts().last().command, "finalize");
        QVERIFY(outcome->error);
    }

    void startAnswerWithoutLocationFails()
    {
        m_sandbox->injectFault(
            {{"route", "POST /resumable/upload/drive/v3/files"}, {"status", 200}, {"body", "{}"}});
        auto outcome = upload(makeFile("nolocation.bin", 10));
        QVERIFY(outcome->error);
        QVERIFY(outcome->error->is("http.status", 501));
        QCOMPARE(outcome->error->userInfoValue("data").toByteArray(), QByteArray("{}"));
        QVERIFY(puts().isEmpty());
    }

    void unreadableFileFailsWithTheFileSystemError()
    {
        auto outcome = upload(m_files.filePath("missing.bin"));
        QVERIFY(outcome->error);
        QCOMPARE(outcome->error->domain(), QStringLiteral("file"));
        QCOMPARE(outcome->error->code(), ENOENT);
        QVERIFY(puts().isEmpty());
    }

    void onlyRegularFilesAreSent_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        const QString fifo = m_files.filePath("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QTest::newRow("fifo") << fifo << "Only files can be uploaded: pipe is not a regular file.";
        QTest::newRow("device") << "/dev/zero"
                                << "Only files can be uploaded: zero is not a regular file.";
        QVERIFY(QDir(m_files.path()).mkpath("Albums"));
        QTest::newRow("folder") << m_files.filePath("Albums")
                                << "Only files can be uploaded: Albums is a folder.";
    }
    void onlyRegularFilesAreSent()
    {
        // Checked on the opened descriptor, so also when the path was
        // swapped after the file was dropped; refused before any session.
        QFETCH(QString, path);
        QFETCH(QString, message);
        auto outcome = upload(path);
        QVERIFY(outcome->error);
        QVERIFY(outcome->error->is("http.fetcher", FetcherErrorNotAFile));
        QCOMPARE(outcome->error->description(), message);
        QCOMPARE(m_sandbox->requestLog().size(), 0);
    }

    void chunkFilesArePrivate()
    {
        // Staged copies hold the user's bytes: only the user may read them.
        const QString path = makeFile("private.bin", 3000000);
        QStringList seen;
        QFile::Permissions permissions;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            for (const QFileInfo &info : QDir(m_chunks.path()).entryInfoList(QDir::Files)) {
                seen.append(info.fileName());
                permissions = info.permissions();
            }
        });
        probe.start(5);
        m_sandbox->setDelay(100);
        auto outcome = upload(path, 1000000);
        m_sandbox->setDelay(0);
        probe.stop();
        verifyStored(*outcome, path);
        QVERIFY(!seen.isEmpty());
        QVERIFY(seen.first().startsWith("upload_chunk_"));
        QCOMPARE(permissions & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());
    }
};

QTEST_GUILESS_MAIN(UploadTest)
#include "tst_upload.moc"
