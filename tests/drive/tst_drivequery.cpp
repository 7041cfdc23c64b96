// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DataRows.h"
#include "drive/DriveQuery.h"

#include <QTest>

class DriveQueryTest : public QObject
{
    Q_OBJECT

private slots:
    void filtersChildren();
    void typesByExtension_data();
    void typesByExtension();
};

void DriveQueryTest::filtersChildren()
{
    QCOMPARE(drive::childrenFilter("root"), QStringLiteral("'root' in parents and trashed = false"));
    // The id goes in verbatim.
    QCOMPARE(drive::childrenFilter("a'b"), QStringLiteral("'a'b' in parents and trashed = false"));
    QCOMPARE(drive::fileNameOf(QUrl::fromLocalFile("/tmp/dir.x/Report 2025.pdf")),
             QStringLiteral("Report 2025.pdf"));
}

void DriveQueryTest::typesByExtension_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");
    tltest::row("pdf", "Report.pdf", "application/pdf");
    tltest::row("upper case", "SCAN.PDF", "application/pdf");
    tltest::row("png", "photo.png", "image/png");
    tltest::row("last extension counts", "notes.tar.gz", "application/gzip");
    tltest::row("unknown", "data.zzqx", "application/octet-stream");
    tltest::row("none", "Makefile", "application/octet-stream");
    tltest::row("trailing dot", "draft.", "application/octet-stream");
    tltest::row("hidden name", ".pdf", "application/octet-stream");
}

// The content is never inspected: a name decides even for an empty path.
void DriveQueryTest::typesByExtension()
{
    QFETCH(QString, fileName);
    QFETCH(QString, expected);
    QCOMPARE(drive::mimeTypeForFileName(fileName), expected);
}

QTEST_GUILESS_MAIN(DriveQueryTest)
#include "tst_drivequery.moc"
