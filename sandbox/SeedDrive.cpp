// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Seed.h"

#include <QCryptographicHash>

namespace {

const QString Folder = QStringLiteral("application/vnd.google-apps.folder");
const QString Doc = QStringLiteral("application/vnd.google-apps.document");
const QString Sheet = QStringLiteral("application/vnd.google-apps.spreadsheet");
const QString Slides = QStringLiteral("application/vnd.google-apps.presentation");

struct DriveBuilder
{
    State &state;
    AccountData &data;
    int age = 0;

    void add(const QString &id, const QString &name, const QString &mimeType, const QString &parent,
             qint64 size = -1)
    {
        DriveFile file;
        file.id = id;
        file.name = name;
        file.mimeType = mimeType;
        file.parent = parent;
        // Spread modification times over the past weeks, deterministically.
        file.modified = state.seededAt.toUTC().addSecs(-qint64(++age) * 5347);
        file.created = file.modified.addDays(-30);
        file.size = size;
        if (size >= 0) {
            file.md5 = QString::fromLatin1(
                QCryptographicHash::hash(id.toUtf8(), QCryptographicHash::Md5).toHex());
            file.sha256 = QString::fromLatin1(
                QCryptographicHash::hash(id.toUtf8(), QCryptographicHash::Sha256).toHex());
        }
        data.files.insert(id, file);
    }
};

void seedFull(DriveBuilder &b, const QString &root)
{
    b.add(QStringLiteral("fldProjects"), QStringLiteral("Projects"), Folder, root);
    b.add(QStringLiteral("fldPhotos"), QStringLiteral("Photos"), Folder, root);
    b.add(QStringLiteral("fldArchive150"), QStringLiteral("Archive"), Folder, root);
    b.add(QStringLiteral("docMeetingNotes"), QStringLiteral("Meeting notes"), Doc, root);
    b.add(QStringLiteral("sheetBudget2025"), QStringLiteral("Budget 2025"), Sheet, root);
    b.add(QStringLiteral("slidesQuarterly"), QStringLiteral("Quarterly review"), Slides, root);
    b.add(QStringLiteral("pdfLease"), QStringLiteral("Lease agreement.pdf"),
          QStringLiteral("application/pdf"), root, 284113);
    b.add(QStringLiteral("imgTeamPhoto"), QStringLiteral("Team photo.jpg"), QStringLiteral("image/jpeg"),
          root, 2481736);
    b.add(QStringLiteral("txtNotes"), QStringLiteral("notes.txt"), QStringLiteral("text/plain"), root, 1207);
    b.add(QStringLiteral("zipBackup"), QStringLiteral("backup-2025-05.zip"),
          QStringLiteral("application/zip"), root, 73400320);

    b.add(QStringLiteral("fldProjects2025"), QStringLiteral("2025"), Folder, QStringLiteral("fldProjects"));
    b.add(QStringLiteral("docCharter"), QStringLiteral("Project charter"), Doc,
          QStringLiteral("fldProjects"));
    b.add(QStringLiteral("sheetTimeline"), QStringLiteral("Timeline"), Sheet, QStringLiteral("fldProjects"));
    b.add(QStringLiteral("docLaunchPlan"), QStringLiteral("Launch plan"), Doc,
          QStringLiteral("fldProjects2025"));
    b.add(QStringLiteral("pdfSpecDraft"), QStringLiteral("Requirements draft.pdf"),
          QStringLiteral("application/pdf"), QStringLiteral("fldProjects2025"), 912004);
    b.add(QStringLiteral("imgArchitecture"), QStringLiteral("Architecture diagram.png"),
          QStringLiteral("image/png"), QStringLiteral("fldProjects2025"), 348211);
    b.add(QStringLiteral("slidesKickoff"), QStringLiteral("Kick-off"), Slides,
          QStringLiteral("fldProjects2025"));

    const char *photos[] = {"Harbour at dawn.jpg", "Lake trail.jpg",   "Ferry.jpg",
                            "Island picnic.png",   "\u00c5lesund.jpg", "Garden tulips.heic"};
    int n = 0;
    for (const char *name : photos) {
        const QString fileName = QString::fromUtf8(name);
        const QString type = fileName.endsWith(u"png")    ? QStringLiteral("image/png")
                             : fileName.endsWith(u"heic") ? QStringLiteral("image/heif")
                                                          : QStringLiteral("image/jpeg");
        ++n;
        b.add(QStringLiteral("imgPhoto%1").arg(n), fileName, type, QStringLiteral("fldPhotos"),
              1800000 + n * 91733);
    }

    // The folder of 150 children: 20 folders and 130 files, names out of order.
    for (int i = 20; i >= 1; --i)
        b.add(QStringLiteral("fldArch%1").arg(i, 3, 10, QLatin1Char('0')),
              QStringLiteral("Year %1").arg(1990 + i), Folder, QStringLiteral("fldArchive150"));
    for (int i = 130; i >= 1; --i) {
        const QString id = QStringLiteral("fileArch%1").arg(i, 3, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("Scan %1").arg(i, 3, 10, QLatin1Char('0'));
        if (i % 10 == 0)
            b.add(id, name, Doc, QStringLiteral("fldArchive150"));
        else
            b.add(id, name + QStringLiteral(".pdf"), QStringLiteral("application/pdf"),
                  QStringLiteral("fldArchive150"), 100000 + i * 17);
    }
    b.add(QStringLiteral("trashedOldDraft"), QStringLiteral("Old draft"), Doc, root);
    b.data.files[QStringLiteral("trashedOldDraft")].trashed = true;
}

} // namespace

namespace seeding {

QString webViewLink(const QString &base, const DriveFile &file)
{
    if (file.mimeType == Folder)
        return base + QStringLiteral("/drive/folders/") + file.id;
    if (file.mimeType == Doc)
        return base + QStringLiteral("/document/d/") + file.id + QStringLiteral("/edit?usp=drivesdk");
    if (file.mimeType == Sheet)
        return base + QStringLiteral("/spreadsheets/d/") + file.id + QStringLiteral("/edit?usp=drivesdk");
    if (file.mimeType == Slides)
        return base + QStringLiteral("/presentation/d/") + file.id + QStringLiteral("/edit?usp=drivesdk");
    return base + QStringLiteral("/file/d/") + file.id + QStringLiteral("/view?usp=drivesdk");
}

void seedDrive(State &state, const QString &sub, int variant)
{
    static const QString roots[] = {QStringLiteral("0AAlexRootFolderUk9PVA"),
                                    QStringLiteral("0AMiraRootFolderUk9PVA"),
                                    QStringLiteral("0AEmptyRootFolderUk9PVA")};
    AccountData &data = state.data[sub];
    data.rootId = roots[qBound(0, variant, 2)];
    DriveBuilder builder{state, data};
    builder.add(data.rootId, QStringLiteral("My Drive"), Folder, QString());
    if (variant == 0) {
        seedFull(builder, data.rootId);
    } else if (variant == 1) {
        builder.add(QStringLiteral("miraFolderRecipes"), QStringLiteral("Recipes"), Folder, data.rootId);
        builder.add(QStringLiteral("miraDocReading"), QStringLiteral("Reading list"), Doc, data.rootId);
        builder.add(QStringLiteral("miraPdfTicket"), QStringLiteral("Concert ticket.pdf"),
                    QStringLiteral("application/pdf"), data.rootId, 55120);
    }
}

} // namespace seeding
