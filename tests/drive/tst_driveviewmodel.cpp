// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The Drive view model against the sandbox provider, with sessions in a
// private Secret Service (run under scripts/with-keyring).

#include "ViewModelSupport.h"
#include "drive/DriveViewModel.h"
#include "support/ProviderLink.h"

#include <QSignalSpy>
#include <QUrlQuery>

using vmtest::requestsTo;

namespace {

const QString ListPath = QStringLiteral("/drive/v3/files");
const QString UploadPath = QStringLiteral("/resumable/upload/drive/v3/files");
constexpr int Slow = 15000;

// The folder ids the model asked to list, in order.
QStringList listedFolders(Sandbox &sandbox)
{
    QStringList folders;
    for (const QJsonObject &entry : requestsTo(sandbox, ListPath, "GET")) {
        if (entry["path"].toString() != ListPath)
            continue;
        const QString q = QUrlQuery(entry["query"].toString()).queryItemValue("q", QUrl::FullyDecoded);
        folders.append(q.section(u'\'', 1, 1));
    }
    return folders;
}

DriveItem itemWithId(const DriveViewModel &model, const QString &id)
{
    for (const DriveItem &item : model.items())
        if (item.id == id)
            return item;
    qWarning() << "no item" << id;
    return {};
}

using UploadEntries = QList<QPair<QString, DriveUploadState::Kind>>;

// Key and state of every entry, in drop order.
UploadEntries uploadEntries(const DriveViewModel &model)
{
    UploadEntries entries;
    for (const DriveUpload &upload : model.uploads())
        entries.append({upload.key, upload.state.kind});
    return entries;
}

// The state of the latest drop under a key.
DriveUploadState latestUpload(const DriveViewModel &model, const QString &key)
{
    for (auto it = model.uploads().crbegin(); it != model.uploads().crend(); ++it)
        if (it->key == key)
            return it->state;
    return DriveUploadState::done();
}

QStringList activeNames(const DriveViewModel &model)
{
    QStringList names;
    for (const DriveActiveUpload &upload : model.activeUploads())
        names.append(upload.name);
    names.sort();
    return names;
}

// Names of the uploads the sandbox received completely.
QStringList finishedUploads(Sandbox &sandbox)
{
    QStringList names;
    for (const QJsonValue &upload : sandbox.uploads())
        if (upload["status"].toString() == u"final")
            names.append(upload["name"].toString());
    return names;
}

bool allDone(const DriveViewModel &model)
{
    return model.activeUploads().isEmpty() && !model.uploads().isEmpty();
}

} // namespace

class DriveViewModelTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    QTemporaryDir m_files;
    const DriveViewModel::Crumb m_root{QStringLiteral("root"), QStringLiteral("My Drive")};

    QUrl localFile(const QString &name)
    {
        QFile file(m_files.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write("some bytes of " + name.toUtf8()) <= 0)
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return QUrl::fromLocalFile(file.fileName());
    }

    void waitLoaded(const DriveViewModel &model)
    {
        QTRY_COMPARE_WITH_TIMEOUT(model.state(), LoadState::loaded(), Slow);
    }

    void load(DriveViewModel &model)
    {
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::loaded());
        QVERIFY(!model.items().isEmpty());
    }

private slots:
    // Only the provider's pages open: Google's hosts over https, and the
    // sandbox's own origin when it is the provider.
    void providerLinksOnly_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("production");
        QTest::addColumn<bool>("loopback");
        const auto row = [](const char *name, const char *link, bool production, bool loopback) {
            QTest::newRow(name) << QString::fromLatin1(link) << production << loopback;
        };
        row("drive", "https://docs.google.com/document/d/1/edit", true, true);
        row("bare host, upper case", "https://GOOGLE.com/x", true, true);
        row("user content", "https://lh3.googleusercontent.com/a", true, true);
        row("plain http", "http://drive.google.com/d", false, false);
        row("look-alike", "https://drive.google.com.evil.example/d", false, false);
        row("suffix without dot", "https://evilgoogle.com/d", false, false);
        row("user info", "https://google.com@evil.example/d", false, false);
        row("odd port", "https://drive.google.com:8443/d", false, false);
        row("script", "javascript:alert(1)", false, false);
        row("file", "file:///etc/passwd", false, false);
        row("sandbox origin", "http://127.0.0.1:4321/drive/folders/x", false, true);
        row("other loopback port", "http://127.0.0.1:4322/drive/folders/x", false, false);
        row("https on the sandbox host", "https://127.0.0.1:4321/x", false, false);
    }

    void providerLinksOnly()
    {
        QFETCH(QString, link);
        QFETCH(bool, production);
        QFETCH(bool, loopback);
        const QUrl url(link, QUrl::StrictMode);
        QCOMPARE(support::isProviderLink(url, Provider::production()), production);
        QCOMPARE(support::isProviderLink(url, *Provider::loopback(QUrl("http://127.0.0.1:4321"))), loopback);
    }

    void initTestCase()
    {
        TL_START_KEYRING_PROVIDER(m_sandbox);
        QVERIFY(m_files.isValid());
    }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}})); }

    void withoutActiveAccountNothingIsListedOrUploaded()
    {
        const vmtest::WithoutActiveAccount without(m_alex);
        for (GoogleAuthService *registry : without.registries()) {
            DriveViewModel model;
            model.attach(registry);
            QCOMPARE(model.path(), QList<DriveViewModel::Crumb>{m_root});
            QSignalSpy stateSpy(&model, &DriveViewModel::stateChanged);
            QVERIFY(runTask(model.refresh()).finished);
            QCOMPARE(model.state(), LoadState::idle());
            QVERIFY(model.items().isEmpty());
            QCOMPARE(stateSpy.count(), 0);

            QSignalSpy uploadsSpy(&model, &DriveViewModel::uploadsChanged);
            model.upload({localFile("ignored.txt")},
                         DriveItem{"fldPhotos", "Photos", DriveItem::FolderMimeType, {}, {}});
            QVERIFY(model.uploads().isEmpty());
            QCOMPARE(uploadsSpy.count(), 0);
        }
        QVERIFY(requestsTo(*m_sandbox, "/drive/").isEmpty());
        QVERIFY(requestsTo(*m_sandbox, UploadPath).isEmpty());
    }

    void opensFoldersAndDocuments()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        load(model);
        QCOMPARE(listedFolders(*m_sandbox), QStringList{"root"});
        QSignalSpy pathSpy(&model, &DriveViewModel::pathChanged);
        QSignalSpy itemsSpy(&model, &DriveViewModel::itemsChanged);
        QSignalSpy stateSpy(&model, &DriveViewModel::stateChanged);
        const auto rootItems = model.items();

        // A document opens in the browser and leaves trail and list alone.
        vmtest::OpenedUrls opened;
        const DriveItem notes = itemWithId(model, "docMeetingNotes");
        model.open(notes);
        QCOMPARE(opened.urls, QList<QUrl>{QUrl(*notes.webViewLink)});
        DriveItem noLink = notes;
        noLink.webViewLink.reset();
        model.open(noLink);
        noLink.webViewLink = QStringLiteral("https://drive.google.com.evil.example/d");
        model.open(noLink);
        QCOMPARE(opened.urls.size(), 1);
        QCOMPARE(model.path().size(), 1);
        QCOMPARE(model.items(), rootItems);

        // Listing the same folder again changes nothing visible but the state.
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(itemsSpy.count(), 0);
        QCOMPARE(stateSpy.count(), 2);

        model.open(itemWithId(model, "fldProjects"));
        QCOMPARE(model.path(), QList<DriveViewModel::Crumb>({m_root, {"fldProjects", "Projects"}}));
        QCOMPARE(pathSpy.count(), 1);
        QCOMPARE(model.state(), LoadState::loading());
        waitLoaded(model);
        QVERIFY(itemWithId(model, "fldProjects2025").isFolder());
        QCOMPARE(listedFolders(*m_sandbox), QStringList({"root", "root", "fldProjects"}));
        QVERIFY(opened.urls.size() == 1);
    }

    void navigatesBackUpTheTrail()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        load(model);
        const auto rootItems = model.items();
        model.open(itemWithId(model, "fldProjects"));
        waitLoaded(model);
        model.open(itemWithId(model, "fldProjects2025"));
        waitLoaded(model);
        QCOMPARE(model.path().size(), 3);
        m_sandbox->clearLog();
        QSignalSpy pathSpy(&model, &DriveViewModel::pathChanged);

        // The current folder's crumb and a crumb not on the trail do nothing.
        model.navigate(model.path().last());
        model.navigate({"fldPhotos", "Photos"});
        QCOMPARE(pathSpy.count(), 0);
        QCOMPARE(model.state(), LoadState::loaded());

        model.navigate(m_root);
        QCOMPARE(model.path(), QList<DriveViewModel::Crumb>{m_root});
        QCOMPARE(pathSpy.count(), 1);
        waitLoaded(model);
        QCOMPARE(model.items(), rootItems);
        QCOMPARE(listedFolders(*m_sandbox), QStringList{"root"});
    }

    // Uploads onto a folder row: keyed by folder and file name, shown while
    // not done, and only the folder on screen is listed again.
    void uploadsByFolderAndFileName()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        load(model);
        const DriveItem photos = itemWithId(model, "fldPhotos");
        m_sandbox->clearLog();
        QSignalSpy uploadsSpy(&model, &DriveViewModel::uploadsChanged);

        model.upload({localFile("a.txt"), localFile("b.pdf")}, photos);
        QCOMPARE(uploadEntries(model), (UploadEntries{{"fldPhotos/a.txt", DriveUploadState::Uploading},
                                                      {"fldPhotos/b.pdf", DriveUploadState::Uploading}}));
        QCOMPARE(uploadsSpy.count(), 2);
        QCOMPARE(activeNames(model), QStringList({"a.txt", "b.pdf"}));
        QTRY_VERIFY_WITH_TIMEOUT(allDone(model), Slow);
        QCOMPARE(uploadEntries(model), (UploadEntries{{"fldPhotos/a.txt", DriveUploadState::Done},
                                                      {"fldPhotos/b.pdf", DriveUploadState::Done}}));
        QCOMPARE(requestsTo(*m_sandbox, UploadPath, "POST").size(), 2);
        // The root is shown, not Photos: no listing starts (it would leave
        // `loaded` at once, before the upload task's end).
        QCOMPARE(model.state(), LoadState::loaded());
        QVERIFY(listedFolders(*m_sandbox).isEmpty());

        // The same name again is a new entry; meanwhile the user opens
        // Photos, so Photos is listed again once the upload is done.
        const int changes = int(uploadsSpy.count());
        model.upload({localFile("a.txt")}, photos);
        QCOMPARE(uploadEntries(model).last(),
                 qMakePair(QStringLiteral("fldPhotos/a.txt"), DriveUploadState::Uploading));
        QCOMPARE(uploadsSpy.count(), changes + 1);
        model.open(photos);
        QTRY_VERIFY_WITH_TIMEOUT(allDone(model), Slow);
        QTRY_COMPARE_WITH_TIMEOUT(listedFolders(*m_sandbox), QStringList({"fldPhotos", "fldPhotos"}), Slow);
        waitLoaded(model);
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(model.items().begin(), model.items().end(),
                                             [](const DriveItem &i) { return i.name == "b.pdf"; }),
                                 Slow);
        QCOMPARE(model.uploads().size(), 3); // entries stay
    }

    void failuresKeepTheListAndShowTheirMessage()
    {
        // Listed, but without a saved session until later.
        const Account lost = vmtest::account(QStringLiteral("lost"));
        vmtest::Registry registry({m_alex, lost}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        load(model);
        const auto listed = model.items();

        m_sandbox->injectFault({{"route", "GET " + ListPath}, {"status", 500}});
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QVERIFY(model.state().isError());
        QVERIFY(!model.state().message.isEmpty());
        QCOMPARE(model.items(), listed);

        // Without a saved session the listing says so.
        const QString noSession = QStringLiteral("No saved session for this account. Sign in again.");
        registry.get()->setActive(lost);
        m_sandbox->clearLog();
        QVERIFY(runTask(model.refresh(), Slow).finished);
        QCOMPARE(model.state(), LoadState::error(noSession));
        // The previous account's rows are no longer offered; uploads follow the
        // account their row was listed for (tested with the account switch).
        QVERIFY(model.items().isEmpty());
    }

    // The second drop of a name finishes first; the first still shows.
    void everyDropOfAFileIsItsOwnEntry()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        load(model);
        const DriveItem photos = itemWithId(model, "fldPhotos");
        // One file dropped twice; written once, since a file rewritten while
        // it goes up fails that upload.
        const QUrl same = localFile("same.txt");
        vmtest::holdNextRequest(*m_sandbox, "POST " + UploadPath, 1500);
        model.upload({same}, photos);
        QTRY_VERIFY_WITH_TIMEOUT(vmtest::heldRequestsArrived(*m_sandbox), Slow);
        model.upload({same}, photos);

        const QString key = QStringLiteral("fldPhotos/same.txt");
        QTRY_COMPARE_WITH_TIMEOUT(
            uploadEntries(model),
            (UploadEntries{{key, DriveUploadState::Uploading}, {key, DriveUploadState::Done}}), Slow);
        QCOMPARE(model.activeUploads().size(), 1);
        QCOMPARE(model.activeUploads().at(0).name, QStringLiteral("same.txt"));
        QCOMPARE(model.activeUploads().at(0).id, model.uploads().at(0).id);
        QVERIFY(model.uploads().at(0).id != model.uploads().at(1).id);
        QTRY_VERIFY_WITH_TIMEOUT(allDone(model), Slow);
        QCOMPARE(finishedUploads(*m_sandbox), QStringList({"same.txt", "same.txt"}));
    }

    // A switch starts again at the top of the new account's Drive, drops the
    // old account's late listing, and leaves the old rows to their account.
    // The strip's rows: a drop inserts one per file, a failure changes its
    // row, a finished upload removes its row; never a reset.
    void uploadRowsChangeOneByOne()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        load(model);
        QAbstractItemModel *rows = model.activeUploadList();
        QSignalSpy changed(rows, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(rows, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(rows, &QAbstractItemModel::modelReset);

        m_sandbox->injectFault({{"route", "POST " + UploadPath}, {"status", 403}, {"delayMs", 300}});
        model.upload({localFile("refused.txt"), localFile("fine.txt")}, itemWithId(model, "fldPhotos"));
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(rows->rowCount(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, Slow);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, Slow);
        QCOMPARE(rows->rowCount(), 1);
        // The two start side by side: the refusal meets whichever reaches the provider first.
        const QString failedName = rows->index(0, 0).data(DriveUploadList::NameRole).toString();
        QVERIFY2(failedName == u"refused.txt" || failedName == u"fine.txt", qPrintable(failedName));
        QCOMPARE(rows->index(0, 0).data(DriveUploadList::KindRole).toString(), QStringLiteral("failed"));
        QVERIFY(!rows->index(0, 0).data(DriveUploadList::MessageRole).toString().isEmpty());
        QCOMPARE(reset.count(), 0);

        // Entering a folder appends one crumb row and lists without a reset.
        QAbstractItemModel *crumbs = model.pathList();
        QSignalSpy crumbInserted(crumbs, &QAbstractItemModel::rowsInserted);
        model.open(itemWithId(model, "fldProjects"));
        QCOMPARE(crumbInserted.count(), 1);
        QCOMPARE(crumbs->index(1, 0).data(DriveCrumbList::NameRole).toString(), QStringLiteral("Projects"));
        waitLoaded(model);
        QSignalSpy itemsReset(model.itemList(), &QAbstractItemModel::modelReset);
        QCOMPARE(itemsReset.count(), 0);
    }

    void switchStartsAtTheTopOfTheNewAccountsDrive()
    {
        const Account mira = vmtest::account(QStringLiteral("mira"));
        QVERIFY(vmtest::saveSession(*m_sandbox, mira, Sandbox::MiraSub));
        vmtest::Registry registry({m_alex, mira}, m_alex.id);
        DriveViewModel model;
        model.attach(registry.get());
        load(model);
        model.open(itemWithId(model, "fldProjects"));
        waitLoaded(model);
        const DriveItem year = itemWithId(model, "fldProjects2025");
        m_sandbox->clearLog();
        vmtest::holdNextRequest(*m_sandbox, "GET " + ListPath, 2000);
        model.startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(vmtest::heldRequestsArrived(*m_sandbox), Slow);

        registry.get()->setActive(mira);
        QCOMPARE(model.path(), QList<DriveViewModel::Crumb>{m_root});
        QVERIFY(model.items().isEmpty());
        QCOMPARE(model.state(), LoadState::loading());
        waitLoaded(model);
        const auto miraItems = model.items();
        QVERIFY(std::any_of(miraItems.begin(), miraItems.end(),
                            [](const DriveItem &i) { return i.id == "miraFolderRecipes"; }));
        QTRY_COMPARE_WITH_TIMEOUT(listedFolders(*m_sandbox).size(), 2, Slow);
        QTest::qWait(300); // Alex's listing reaches the model, which shows no sign of dropping it
        QCOMPARE(model.items(), miraItems);
        QCOMPARE(model.path(), QList<DriveViewModel::Crumb>{m_root});

        // A folder row of Alex's left on a view: not entered, and a drop on
        // it goes to Alex's Drive.
        model.open(year);
        QCOMPARE(model.path(), QList<DriveViewModel::Crumb>{m_root});
        model.upload({localFile("stale.txt")}, year);
        QTRY_VERIFY_WITH_TIMEOUT(allDone(model), Slow);
        const QJsonObject sent = m_sandbox->uploads().last().toObject();
        QCOMPARE(sent["name"].toString(), QStringLiteral("stale.txt"));
        QCOMPARE(sent["sub"].toString(), Sandbox::AlexSub);

        // Once Alex is signed out, a drop there says so.
        registry.get()->signOut(m_alex);
        model.upload({localFile("gone.txt")}, year);
        QTRY_COMPARE_WITH_TIMEOUT(
            latestUpload(model, "fldProjects2025/gone.txt"),
            DriveUploadState::failed("No saved session for this account. Sign in again."), Slow);
        QCOMPARE(model.items(), miraItems);
        QCOMPARE(listedFolders(*m_sandbox).size(), 2);
    }

    void namesUploadsByTheLastPieceOfTheKey()
    {
        QCOMPARE(DriveViewModel::uploadKey("fldPhotos", QUrl::fromLocalFile("/tmp/x/Report 2025.pdf")),
                 QStringLiteral("fldPhotos/Report 2025.pdf"));
        QCOMPARE(DriveViewModel::uploadName("fldPhotos/Report 2025.pdf"), QStringLiteral("Report 2025.pdf"));
        QCOMPARE(DriveViewModel::uploadName("fldPhotos//"), QStringLiteral("fldPhotos"));
        QCOMPARE(DriveViewModel::uploadName("///"), QString());
    }

    // Dropped while listing and uploading: no crash, and the dropped file
    // still reaches the folder.
    void droppedModelLetsItsUploadsFinish()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        auto model = std::make_unique<DriveViewModel>();
        model->attach(registry.get());
        load(*model);
        vmtest::KeptRows<DriveItem, RecordListModel> rows(*model, &DriveViewModel::itemsChanged,
                                                          &DriveViewModel::items);
        const DriveItem photos = itemWithId(*model, "fldPhotos");
        m_sandbox->clearLog();
        m_sandbox->setDelay(300);
        model->upload({localFile("late.txt")}, photos);
        model->startRefresh();
        model->open(photos);
        const auto shown = model->items();
        model.reset();
        QTRY_VERIFY_WITH_TIMEOUT(finishedUploads(*m_sandbox).contains("late.txt"), Slow);
        // Both listings, the top folder's and Photos', are answered after the model is gone.
        TL_WAIT([&] { return listedFolders(*m_sandbox).size() >= 2; }, Slow,
                "the sandbox to answer both listings");
        m_sandbox->requestLog(); // one more round trip, behind the last answer
        m_sandbox->setDelay(0);
        QCOMPARE(rows.rows(), shown);
    }
};

QTEST_GUILESS_MAIN(DriveViewModelTest)
#include "tst_driveviewmodel.moc"
