// The provider breaking under the Drive tab: a reload ends in the error
// state once with the listed items kept; a failed upload ends as failed and
// leaves the local file as it was. Run under scripts/with-keyring.

#include "TabFaults.h"
#include "drive/DriveViewModel.h"

#include <QCryptographicHash>
#include <QFileInfo>

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

} // namespace

// The state of the upload with this key; uploading while it is not listed yet.
static DriveUploadState stateOf(const DriveViewModel &model, const QString &key)
{
    for (const DriveUpload &upload : model.uploads())
        if (upload.key == key)
            return upload.state;
    return {};
}

class DriveFaultsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    const Account m_alex = vmtest::account(QStringLiteral("alex"));
    QTemporaryDir m_files;

    QString localFile(const QString &name, const QByteArray &content)
    {
        QFile file(m_files.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void initTestCase()
    {
        m_sandbox = faults::startTabProvider();
        if (!m_sandbox)
            QSKIP("Needs the private keyring of scripts/with-keyring; never touches the user's own.");
        QVERIFY(m_sandbox->isRunning());
    }

    void init()
    {
        m_sandbox->reset();
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex));
    }

    void reload_data() { faults::addFaultRows(); }
    void reload()
    {
        QFETCH(int, fault);
        faults::reloadUnderFault<DriveViewModel>(*m_sandbox, m_alex, DriveList, fault, listedCount);
    }

    void revokedGrant() { faults::revokedGrant<DriveViewModel>(*m_sandbox, m_alex, listedCount); }

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
};

QTEST_GUILESS_MAIN(DriveFaultsTest)
#include "tst_drivefaults.moc"
