// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The Drive tab's QML over a real view model fed by the sandbox provider,
// offscreen, with file drags sent to the window as a file manager sends
// them; screenshots of each state under build/screenshots.

#include "HostileText.h"
#include "QmlTestSupport.h"
#include "ViewModelSupport.h"
#include "drive/DriveViewModel.h"

#include <QJsonDocument>
#include <QMimeData>
#include <QTemporaryDir>

using namespace qmltest;

namespace {

const QUrl TabUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Drive/DriveTabView.qml"));
const QString UploadRoute = QStringLiteral("POST /resumable/upload/drive/v3/files");
constexpr int Slow = 15000;

// A drag of file URLs from the file manager, moved over the window.
class FileDrag
{
public:
    FileDrag(QQuickWindow *window, const QList<QUrl> &urls) : m_window(window) { m_data.setUrls(urls); }

    bool enter(QQuickItem *over)
    {
        QDragEnterEvent event(point(over), Qt::CopyAction, &m_data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window, &event);
        return event.isAccepted();
    }
    void move(QQuickItem *over)
    {
        QDragMoveEvent event(point(over), Qt::CopyAction, &m_data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window, &event);
    }
    // Whether the window took the drop.
    bool drop(QQuickItem *over)
    {
        QDropEvent event(point(over), Qt::CopyAction, &m_data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window, &event);
        return event.isAccepted();
    }

private:
    static QPoint point(QQuickItem *item)
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

    QQuickWindow *m_window;
    QMimeData m_data;
};

QStringList crumbTexts(QQuickItem *root)
{
    QStringList texts;
    for (QQuickItem *text : findItems(root, "crumbText"))
        texts.append(text->property("text").toString());
    return texts;
}

} // namespace

class DriveTabViewTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

    QTemporaryDir m_files;

    QQuickItem *open(qmltest::View &view, GoogleAuthService *auth)
    {
        view.provide(auth);
        return view.loadUrl(TabUrl, QSize(380, 320));
    }

    QQuickItem *row(qmltest::View &view, const QString &name)
    {
        return findItem(view.root.get(), QStringLiteral("driveRow:") + name);
    }

    bool openRoot(qmltest::View &view, vmtest::Registry &registry)
    {
        return open(view, registry.get())
               && QTest::qWaitFor([&] { return row(view, QStringLiteral("Projects")) != nullptr; }, Slow);
    }

    QUrl localFile(const QString &name, int size = 2048)
    {
        QFile file(m_files.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qWarning() << "cannot write" << file.fileName();
        file.write(QByteArray(size, 'x'));
        return QUrl::fromLocalFile(file.fileName());
    }

    // Names of the files the sandbox received completely into the folder.
    QStringList receivedInto(const QString &folderID)
    {
        QStringList names;
        for (const QJsonValue &upload : m_sandbox->uploads())
            if (upload["status"].toString() == u"final" && upload["parent"].toString() == folderID)
                names.append(upload["name"].toString());
        return names;
    }

    QStringList stripTexts(qmltest::View &view)
    {
        QStringList texts;
        for (QQuickItem *text : findItems(view.root.get(), "uploadText"))
            texts.append(text->property("text").toString());
        return texts;
    }

private slots:
    void initTestCase()
    {
        TL_START_TAB_VIEWS(m_sandbox);
        QVERIFY(m_files.isValid());
    }

    void init() { QVERIFY(vmtest::resetWithSessions(*m_sandbox, {{m_alex}, {m_sam, Sandbox::EmptySub}})); }

    // Folders first; entering two levels adds two crumbs, and "My Drive"
    // goes back to the top.
    void crumbsFollowTheFoldersEntered()
    {
        m_sandbox->setDelay(300);
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QVERIFY(view.find("driveLoading")->isVisible());
        qmltest::saveLightAndDark(view, QStringLiteral("drive-loading"));
        m_sandbox->setDelay(0);
        QTRY_VERIFY_WITH_TIMEOUT(row(view, "Projects"), Slow);
        QQuickItem *root = view.root.get();
        QCOMPARE(crumbTexts(root), QStringList{"My Drive"});
        QCOMPARE(findItem(root, "crumbText")->property("color").value<QColor>(),
                 QGuiApplication::palette().color(QPalette::WindowText));
        auto *model = root->findChild<DriveViewModel *>();
        const QList<DriveItem> items = model->items();
        const auto firstFile = std::find_if(items.begin(), items.end(),
                                            [](const DriveItem &i) { return !i.isFolder(); });
        QVERIFY(std::all_of(firstFile, items.end(), [](const DriveItem &i) { return !i.isFolder(); }));
        QVERIFY(findItem(row(view, "Projects"), "driveModified")->isVisible());
        qmltest::saveLightAndDark(view, QStringLiteral("drive-root"));

        click(findItem(row(view, "Projects"), "driveRowButton"));
        QTRY_VERIFY_WITH_TIMEOUT(row(view, "2025"), Slow);
        click(findItem(row(view, "2025"), "driveRowButton"));
        QTRY_VERIFY_WITH_TIMEOUT(row(view, "Launch plan"), Slow);
        QCOMPARE(crumbTexts(root), (QStringList{"My Drive", "Projects", "2025"}));
        const auto separators = findItems(root, "crumbSeparator");
        QCOMPARE(separators.size(), 3);
        QVERIFY(!separators.at(0)->isVisible() && separators.at(1)->isVisible()
                && separators.at(2)->isVisible());
        const auto texts = findItems(root, "crumbText");
        QVERIFY(texts.at(0)->property("color") == texts.at(1)->property("color"));
        QVERIFY(texts.at(1)->property("color") != texts.at(2)->property("color"));
        qmltest::saveLightAndDark(view, QStringLiteral("drive-two-levels"));

        click(findItem(root, "crumb:My Drive"));
        QTRY_VERIFY_WITH_TIMEOUT(row(view, "Projects") && !row(view, "Launch plan"), Slow);
        QTRY_COMPARE(crumbTexts(root), QStringList{"My Drive"});
    }

    void emptyFolderAndErrorPanels()
    {
        vmtest::Registry registry({m_sam}, m_sam.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QQuickItem *empty = view.find("driveEmpty");
        QTRY_VERIFY_WITH_TIMEOUT(empty->isVisible(), Slow);
        QCOMPARE(empty->property("title").toString(), QStringLiteral("Empty folder"));
        QCOMPARE(empty->property("message").toString(),
                 QStringLiteral("Drag files from your file manager onto a folder to upload."));
        qmltest::saveLightAndDark(view, QStringLiteral("drive-empty"));

        m_sandbox->injectFault({{"route", "GET /drive/v3/files"}, {"status", 500}});
        vmtest::Registry alex({m_alex}, m_alex.id);
        qmltest::View failed;
        QVERIFY(open(failed, alex.get()));
        QQuickItem *error = failed.find("driveError");
        QTRY_VERIFY_WITH_TIMEOUT(error->isVisible(), Slow);
        QCOMPARE(error->property("title").toString(), QStringLiteral("Couldn't load Drive"));
        QCOMPARE(error->property("message").toString(),
                 failed.root->findChild<DriveViewModel *>()->state().message);
        QVERIFY(failed.find("crumbBar")->isVisible());
        qmltest::saveLightAndDark(failed, QStringLiteral("drive-error"));
    }

    // A file someone shared with a hostile name shows that name as written,
    // and the row fetches nothing.
    void hostileTextStaysText()
    {
        HostileText hostile;
        QVERIFY(hostile.isListening());
        const QString name = hostile.text("file");
        const QJsonObject list{
            {"kind", "drive#fileList"},
            {"files", QJsonArray{QJsonObject{{"kind", "drive#file"},
                                             {"id", "hostile1"},
                                             {"name", name},
                                             {"mimeType", "application/pdf"},
                                             {"modifiedTime", "2025-06-03T10:15:00.000Z"}}}}};
        m_sandbox->injectFault({{"route", "GET /drive/v3/files"},
                                {"status", 200},
                                {"body", QString::fromUtf8(QJsonDocument(list).toJson())}});
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(open(view, registry.get()));
        QTRY_VERIFY_WITH_TIMEOUT(row(view, name), Slow);
        QVERIFY(HostileText::showsAsIs(findItem(row(view, name), "driveName"), name));
        qmltest::saveLightAndDark(view, QStringLiteral("drive-hostile-row"));
        QCOMPARE(hostile.connections(), 0);
    }

    // Hovering a folder row tints it and dropping uploads every file into
    // that folder; a document row neither lights up nor takes the drop.
    void filesDroppedOnAFolderRowUploadIntoIt()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openRoot(view, registry));
        QQuickItem *photos = row(view, "Photos");
        QQuickItem *document = nullptr;
        for (const DriveItem &item : view.root->findChild<DriveViewModel *>()->items())
            if (!item.isFolder() && !document)
                document = row(view, item.name);
        QVERIFY(photos && document);

        FileDrag drag(&view.window, {localFile("notes.txt"), localFile("holiday.jpg")});
        QVERIFY(drag.enter(photos));
        drag.move(photos);
        QVERIFY(findItem(photos, "dropTint")->isVisible());
        qmltest::saveLightAndDark(view, QStringLiteral("drive-drop-hover"));
        drag.move(document);
        QVERIFY(!findItem(photos, "dropTint")->isVisible());
        QVERIFY(!findItem(document, "dropTint")->isVisible());
        QVERIFY(!drag.drop(document));

        FileDrag again(&view.window, {localFile("notes.txt"), localFile("holiday.jpg")});
        QVERIFY(again.enter(photos));
        QVERIFY(again.drop(photos));
        QVERIFY(!findItem(photos, "dropTint")->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(receivedInto("fldPhotos").size(), 2, Slow);
        // The files upload side by side, so they may arrive in either order.
        QStringList received = receivedInto("fldPhotos");
        received.sort();
        QCOMPARE(received, (QStringList{"holiday.jpg", "notes.txt"}));
        QCOMPARE(m_sandbox->uploads().size(), 2); // nothing from the refused drop
        QTRY_VERIFY_WITH_TIMEOUT(!view.find("uploadStrip")->isVisible(), Slow);
    }

    // A drop of anything but local files, or on the document row, the crumb
    // bar or an empty folder, is refused.
    void dropsElsewhereAreRefused()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openRoot(view, registry));
        FileDrag web(&view.window, {QUrl("https://example.com/report.pdf")});
        QVERIFY(!web.enter(row(view, "Photos")));
        QVERIFY(!findItem(row(view, "Photos"), "dropTint")->isVisible());
        QVERIFY(!web.drop(row(view, "Photos")));
        FileDrag file(&view.window, {localFile("stray.txt")});
        QVERIFY(!file.enter(view.find("crumbBar")));
        QVERIFY(!file.drop(view.find("crumbBar")));
        QTest::qWait(100); // no upload starts meanwhile
        QVERIFY(m_sandbox->uploads().isEmpty());
    }

    // Two running uploads are two rows; a failed one turns into the red
    // symbol with its message; the strip goes when nothing is left in it.
    void uploadStripShowsRunningAndFailedUploads()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openRoot(view, registry));
        m_sandbox->injectFault({{"route", UploadRoute}, {"delayMs", 1500}});
        const QJsonObject quota{
            {"error", QJsonObject{{"code", 403},
                                  {"message", "The Drive storage quota has been exceeded."},
                                  {"errors", QJsonArray{QJsonObject{{"reason", "storageQuotaExceeded"}}}}}}};
        m_sandbox->injectFault({{"route", UploadRoute},
                                {"delayMs", 1500},
                                {"status", 403},
                                {"body", QString::fromUtf8(QJsonDocument(quota).toJson())}});
        FileDrag drag(&view.window, {localFile("plan.pdf"), localFile("budget.xlsx")});
        QVERIFY(drag.enter(row(view, "Projects")));
        QVERIFY(drag.drop(row(view, "Projects")));
        QQuickItem *strip = view.find("uploadStrip");
        QTRY_VERIFY(strip->isVisible());
        QCOMPARE(stripTexts(view), (QStringList{"Uploading plan.pdf…", "Uploading budget.xlsx…"}));
        qmltest::saveLightAndDark(view, QStringLiteral("drive-uploading"));

        // Whichever answer comes first: in the end the success is gone and
        // the failure stays.
        QTRY_VERIFY_WITH_TIMEOUT(stripTexts(view).size() == 1
                                     && !stripTexts(view).at(0).startsWith(QStringLiteral("Uploading ")),
                                 Slow);
        const QString failed = stripTexts(view).at(0);
        QVERIFY2(failed.startsWith("budget.xlsx: ") || failed.startsWith("plan.pdf: "), qPrintable(failed));
        const QString name = failed.section(u':', 0, 0);
        QQuickItem *failedRow = findItem(view.root.get(), "uploadRow:" + name);
        QVERIFY(findItem(failedRow, "uploadFailedSymbol")->isVisible());
        QCOMPARE(findItem(failedRow, "uploadFailedSymbol")->property("color").value<QColor>(),
                 QColor("#c9001a"));
        qmltest::saveLightAndDark(view, QStringLiteral("drive-upload-failed"));

        // The failure stays; a new successful upload comes and goes beside it.
        FileDrag more(&view.window, {localFile("minutes.txt")});
        QVERIFY(more.enter(row(view, "Projects")));
        QVERIFY(more.drop(row(view, "Projects")));
        QTRY_COMPARE_WITH_TIMEOUT(receivedInto("fldProjects").size(), 2, Slow);
        QTRY_COMPARE(stripTexts(view), QStringList{failed});
    }

    void stripDisappearsWhenEmpty()
    {
        vmtest::Registry registry({m_alex}, m_alex.id);
        qmltest::View view;
        QVERIFY(openRoot(view, registry));
        m_sandbox->injectFault({{"route", UploadRoute}, {"delayMs", 800}});
        FileDrag drag(&view.window, {localFile("one.txt")});
        QVERIFY(drag.enter(row(view, "Photos")));
        QVERIFY(drag.drop(row(view, "Photos")));
        QQuickItem *strip = view.find("uploadStrip");
        QTRY_VERIFY(strip->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!strip->isVisible(), Slow);
        QCOMPARE(receivedInto("fldPhotos"), QStringList{"one.txt"});
    }
};

QTEST_MAIN(DriveTabViewTest)
#include "tst_drivetabview.moc"
