// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The Drive client against the sandbox provider: the listing request and its
// mapping, and uploads of local files into a folder.

#include "BearerAuthorizer.h"
#include "DataRows.h"
#include "Fixture.h"
#include "TaskRunner.h"
#include "drive/DriveService.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QUuid>

namespace {

const QString FilesPath = QStringLiteral("/drive/v3/files");
const QString UploadPath = QStringLiteral("/resumable/upload/drive/v3/files");

QStringList namesOf(const QList<DriveItem> &items)
{
    QStringList names;
    for (const DriveItem &item : items)
        names.append(item.name);
    return names;
}

} // namespace

class DriveServiceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    QTemporaryDir m_files;

    std::shared_ptr<rest::Authorizer> alex()
    {
        const QString token = m_sandbox->accessToken(Sandbox::AlexSub);
        return std::make_shared<BearerAuthorizer>(token.toUtf8());
    }

    QList<DriveItem> list(const QString &parentID)
    {
        auto outcome = runTask(DriveService::list(alex(), parentID));
        if (outcome.error)
            qWarning() << *outcome.error;
        return outcome.value.value_or(QList<DriveItem>());
    }

    QUrl localFile(const QString &name, const QByteArray &content = "%PDF-1.4 not really")
    {
        QFile file(m_files.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return QUrl::fromLocalFile(file.fileName());
    }

    // The sandbox's record of the upload of a file name.
    QJsonObject uploadNamed(const QString &name)
    {
        for (const QJsonValue &upload : m_sandbox->uploads())
            if (upload["name"].toString() == name)
                return upload.toObject();
        return {};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        TL_START_PROVIDER(m_sandbox);
    }

    void init()
    {
        m_sandbox->reset();
        m_sandbox->clearLog();
    }

    void listsTheTopFolder()
    {
        const QList<DriveItem> items = list("root");
        const QJsonArray log = m_sandbox->requestLog();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.at(0)["path"].toString(), FilesPath);
        const QUrlQuery query(log.at(0)["query"].toString());
        QCOMPARE(query.queryItemValue("q", QUrl::FullyDecoded),
                 QStringLiteral("'root' in parents and trashed = false"));
        QCOMPARE(query.queryItemValue("orderBy", QUrl::FullyDecoded), QStringLiteral("folder,name"));
        QCOMPARE(query.queryItemValue("pageSize"), QStringLiteral("100"));
        QCOMPARE(query.queryItemValue("fields", QUrl::FullyDecoded),
                 QStringLiteral("nextPageToken,files(id,name,mimeType,modifiedTime,webViewLink)"));

        QCOMPARE(namesOf(items).mid(0, 3), QStringList({"Archive", "Photos", "Projects"}));
        QVERIFY(!namesOf(items).contains("Old draft")); // trashed
        const DriveItem &archive = items.at(0);
        QCOMPARE(archive.id, QStringLiteral("fldArchive150"));
        QVERIFY(archive.isFolder());
        QVERIFY(archive.modified);
        QCOMPARE(archive.webViewLink,
                 std::optional<QString>(m_sandbox->baseUrl().toString() + "/drive/folders/fldArchive150"));
        const auto lease = std::find_if(items.begin(), items.end(),
                                        [](const DriveItem &i) { return i.id == "pdfLease"; });
        QVERIFY(lease != items.end());
        QCOMPARE(lease->mimeType, QStringLiteral("application/pdf"));
        QVERIFY(!lease->isFolder());
    }

    // 150 children: one request for the first 100, the 20 folders first.
    void listsTheFirstHundredFoldersFirst()
    {
        const QList<DriveItem> items = list("fldArchive150");
        QCOMPARE(items.size(), 100);
        QCOMPARE(m_sandbox->requestLog().size(), 1);
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(items.at(i).isFolder(), i < 20);
        QCOMPARE(items.at(0).name, QStringLiteral("Year 1991"));
        QCOMPARE(items.at(19).name, QStringLiteral("Year 2010"));
        QCOMPARE(items.at(20).name, QStringLiteral("Scan 001.pdf"));
        QCOMPARE(items.at(99).name, QStringLiteral("Scan 080")); // a Doc: no extension
    }

    // Short and empty pages before the end: further pages until 100 children
    // arrived, each asked with the token of the one before.
    void followsShortPagesToTheFirstHundred()
    {
        const QList<DriveItem> whole = list("fldArchive150");
        m_sandbox->setShortPages(Sandbox::AlexSub, true);
        m_sandbox->clearLog();
        QCOMPARE(list("fldArchive150"), whole);
        const QJsonArray log = m_sandbox->requestLog();
        QCOMPARE(log.size(), 3); // empty, 50, 50
        QVERIFY(!QUrlQuery(log.at(0)["query"].toString()).hasQueryItem("pageToken"));
        for (int i = 1; i < log.size(); ++i) {
            const QUrlQuery query(log.at(i)["query"].toString());
            QVERIFY(query.hasQueryItem("pageToken"));
            QCOMPARE(query.queryItemValue("pageSize"), QStringLiteral("100"));
        }
        // Mira's seeded Drive always answers so.
        const QString token = m_sandbox->accessToken(Sandbox::MiraSub);
        auto mira = runTask(DriveService::list(std::make_shared<BearerAuthorizer>(token.toUtf8()), "root"));
        QVERIFY(!mira.error);
        QCOMPARE(namesOf(*mira.value), QStringList({"Recipes", "Concert ticket.pdf", "Reading list"}));
    }

    void mapsMissingFields()
    {
        const QJsonObject answer{
            {"kind", "drive#fileList"},
            {"files", QJsonArray{QJsonObject{{"id", "a"}, {"mimeType", "application/vnd.google-apps.folder"}},
                                 QJsonObject{{"id", "b"}, {"name", "No type"}},
                                 QJsonObject{{"name", "No id"},
                                             {"modifiedTime", "2026-03-05T09:15:00.250+01:00"},
                                             {"webViewLink", "https://drive.example/b"}}}}};
        m_sandbox->injectFault({{"route", "GET " + FilesPath},
                                {"status", 200},
                                {"body", QString::fromUtf8(QJsonDocument(answer).toJson())}});
        const QList<DriveItem> items = list("root");
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0).name, QStringLiteral("(untitled)"));
        QVERIFY(items.at(0).isFolder());
        QVERIFY(!items.at(0).modified && !items.at(0).webViewLink);
        QCOMPARE(items.at(1).mimeType, QString(""));
        QVERIFY(!items.at(1).isFolder());
        QVERIFY(!QUuid::fromString(items.at(2).id).isNull());
        QCOMPARE(*items.at(2).modified, QDateTime(QDate(2026, 3, 5), QTime(8, 15, 0, 250), Qt::UTC));
        QCOMPARE(items.at(2).webViewLink, std::optional<QString>("https://drive.example/b"));

        // An empty folder, and an answer without "files": no items, no error.
        const QString samToken = m_sandbox->accessToken(Sandbox::EmptySub);
        auto empty = runTask(
            DriveService::list(std::make_shared<BearerAuthorizer>(samToken.toUtf8()), "root"));
        QVERIFY(!empty.error);
        QVERIFY(empty.value->isEmpty());
        m_sandbox->injectFault(
            {{"route", "GET " + FilesPath}, {"status", 200}, {"body", "{\"kind\":\"drive#fileList\"}"}});
        auto noFiles = runTask(DriveService::list(alex(), "root"));
        QVERIFY(!noFiles.error);
        QVERIFY(noFiles.value->isEmpty());
    }

    void uploadsIntoTheFolderTypedByExtension_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("mimeType");
        tltest::row("pdf", "Quarterly report.pdf", "application/pdf");
        tltest::row("unknown extension", "measurements.zzqx", "application/octet-stream");
        tltest::row("no extension", "README", "application/octet-stream");
    }

    // The content never decides: every file here starts like a PDF.
    void uploadsIntoTheFolderTypedByExtension()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, mimeType);
        const QByteArray content = "%PDF-1.4\n" + QByteArray(3000, 'x');
        auto outcome = runTask(DriveService::upload(alex(), localFile(fileName, content), "fldProjects"));
        QVERIFY(!outcome.error);

        const QJsonArray log = m_sandbox->requestLog();
        const QJsonObject start = log.at(0).toObject();
        QCOMPARE(start["method"].toString(), QStringLiteral("POST"));
        QCOMPARE(start["path"].toString(), UploadPath);
        QCOMPARE(start["json"].toObject(),
                 QJsonObject({{"name", fileName}, {"parents", QJsonArray{"fldProjects"}}}));

        const QJsonObject upload = uploadNamed(fileName);
        QCOMPARE(upload["mimeType"].toString(), mimeType);
        QCOMPARE(upload["status"].toString(), QStringLiteral("final"));
        QCOMPARE(upload["received"].toInteger(), content.size());
        QVERIFY(namesOf(list("fldProjects")).contains(fileName));
    }

    void passesErrorsThroughUnchanged()
    {
        m_sandbox->injectFault({{"route", "GET " + FilesPath}, {"status", 500}});
        auto listing = runTask(DriveService::list(alex(), "root"));
        QVERIFY(listing.error);
        QCOMPARE(listing.error->code(), 500);

        auto unknownFolder = runTask(DriveService::list(alex(), "noSuchFolder"));
        QVERIFY(unknownFolder.error);
        QCOMPARE(unknownFolder.error->code(), 404);

        const QUrl missing = QUrl::fromLocalFile(m_files.filePath("never-written.pdf"));
        auto upload = runTask(DriveService::upload(alex(), missing, "fldProjects"));
        QVERIFY(upload.finished);
        QVERIFY(upload.error);
        QVERIFY(!upload.error->description().isEmpty());

        m_sandbox->injectFault({{"route", "POST " + UploadPath}, {"status", 403}});
        auto refused = runTask(DriveService::upload(alex(), localFile("refused.txt"), "fldProjects"));
        QVERIFY(refused.error);
        QCOMPARE(refused.error->code(), 403);
    }
};

QTEST_GUILESS_MAIN(DriveServiceTest)
#include "tst_driveservice.moc"
