// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The provider breaking under the Drive tab: a reload ends in the error
// state once with the listed items kept; a failed upload ends as failed and
// leaves the local file as it was. Dropped things that are not files, and a
// file that changes while it goes up, fail without holding up the event
// loop. Run under scripts/with-keyring.

#include "TabFaults.h"
#include "drive/DriveViewModel.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <sys/stat.h>

namespace {

const QString DriveList = QStringLiteral("GET /drive/v3/files");
const QString UploadStart = QStringLiteral("POST /resumable/upload/drive/v3/files");
const QString UploadChunk = QStringLiteral("PUT /resumable/upload/drive/v3/files");

int listedCount(const DriveViewModel &model)
{
    return int(model.items().size());
}

QByteArray sha256Of(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The peak resident memory of this process so far, in KiB.
qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// The longest time between two ticks of a 20 ms timer while it lives.
class TickGaps : public QObject
{
public:
    TickGaps()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { m_longest = qMax(m_longest, m_clock.restart()); });
        m_clock.start();
        m_timer.start(20);
    }
    qint64 longestMs() const { return qMax(m_longest, m_clock.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

int requestsTo(const QJsonArray &log, const QString &route)
{
    int count = 0;
    for (const QJsonValue &entry : log) {
        const QJsonObject request = entry.toObject();
        count += request.value("method").toString() + u' ' + request.value("path").toString() == route;
    }
    return count;
}

} // namespace

// The state of the upload with this key; uploading while it is not listed yet.
static DriveUploadState stateOf(const DriveViewModel &model, const QString &key)
{
    for (const DriveUpload &upload : model.uploads())
        if (upload.key == key)
            return upload.state;
    return {};
}

class DriveFaultsTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    QTemporaryDir m_files;

    QString localFile(const QString &name, const QByteArray &content)
    {
        QFile file(m_files.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    TL_TAB_FAULT_SLOTS(DriveViewModel, DriveList, listedCount)

    void failedUploadLeavesTheLocalFileUntouched_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("route");
        const auto all = faults::all();
        for (int i = 0; i < all.size(); ++i) {
            QTest::addRow("start: %s", all[i].name) << i << UploadStart;
            QTest::addRow("chunk: %s", all[i].name) << i << UploadChunk;
        }
    }
    void failedUploadLeavesTheLocalFileUntouched()
    {
        QFETCH(int, fault);
        QFETCH(QString, route);
        vmtest::Registry registry({m_alex}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        const QString path = localFile(QStringLiteral("report %1.txt").arg(fault),
                                       QByteArray(300 * 1024, 'r') + "end");
        const QByteArray hash = sha256Of(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        const DriveItem folder{
            QStringLiteral("fldPhotos"), QStringLiteral("Photos"), DriveItem::FolderMimeType, {}, {}};
        const QString key = DriveViewModel::uploadKey(folder.id, QUrl::fromLocalFile(path));
        QSignalSpy uploadsSpy(&model, &DriveViewModel::uploadsChanged);
        {
            const faults::Injected injected(*m_sandbox, faults::all()[fault], route);
            model.upload({QUrl::fromLocalFile(path)}, folder);
            QTRY_VERIFY_WITH_TIMEOUT(stateOf(model, key).kind != DriveUploadState::Uploading, faults::Slow);
        }
        const DriveUploadState state = stateOf(model, key);
        QCOMPARE(state.kind, DriveUploadState::Failed);
        QVERIFY(!state.message.isEmpty());
        QCOMPARE(uploadsSpy.count(), 2); // uploading, then failed
        QCOMPARE(sha256Of(path), hash);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
    }

    void onlyUnchangedRegularFilesGoUp_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        const QString fifo = m_files.filePath(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QTest::newRow("fifo") << fifo << "Only files can be uploaded: pipe is not a regular file.";
        QTest::newRow("device") << "/dev/zero"
                                << "Only files can be uploaded: zero is not a regular file.";
        QVERIFY(QDir(m_files.path()).mkdir(QStringLiteral("Holiday")));
        QTest::newRow("folder") << m_files.filePath(QStringLiteral("Holiday"))
                                << "Only files can be uploaded: Holiday is a folder.";
        QTest::newRow("growing file") << localFile(QStringLiteral("log.txt"), QByteArray(300 * 1024, 'l'))
                                      << "log.txt changed while it was uploading.";
    }
    void onlyUnchangedRegularFilesGoUp()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        const bool regular = QFileInfo(path).isFile();
        vmtest::Registry registry({m_alex}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        const DriveItem folder{
            QStringLiteral("fldPhotos"), QStringLiteral("Photos"), DriveItem::FolderMimeType, {}, {}};
        const QString key = DriveViewModel::uploadKey(folder.id, QUrl::fromLocalFile(path));
        // The start answer is held back so that the file can change after
        // its size was announced.
        if (regular)
            m_sandbox->injectFault({{"route", UploadStart}, {"delayMs", 1000}, {"count", 1}});
        const qint64 memoryBefore = peakMemoryKiB();
        const TickGaps gaps;
        model.upload({QUrl::fromLocalFile(path)}, folder);
        if (regular) {
            TL_WAIT([&] { return m_sandbox->pendingFaults() == 0; }, faults::Slow, "the upload to start");
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            QVERIFY(file.write("more") == 4);
        }
        TL_WAIT([&] { return stateOf(model, key).kind != DriveUploadState::Uploading; }, faults::Slow,
                "the upload to end");
        QCOMPARE(stateOf(model, key), DriveUploadState::failed(message));
        QVERIFY2(gaps.longestMs() < 200, qPrintable(QString::number(gaps.longestMs())));
        QVERIFY(peakMemoryKiB() - memoryBefore < 64 * 1024);
        if (!regular) {
            QCOMPARE(requestsTo(m_sandbox->requestLog(), UploadStart), 0);
            return;
        }
        // The session announced the old size: it is cancelled, never finalized.
        TL_WAIT(
            [&] {
                const QJsonArray uploads = m_sandbox->uploads();
                return uploads.size() == 1
                       && uploads[0].toObject().value("status").toString() == u"cancelled";
            },
            faults::Slow, "the session to be cancelled");
        QCOMPARE(requestsTo(m_sandbox->requestLog(), UploadChunk), 1); // the cancel
    }
};

QTEST_GUILESS_MAIN(DriveFaultsTest)
#include "tst_drivefaults.moc"
