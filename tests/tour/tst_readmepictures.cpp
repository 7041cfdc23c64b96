// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QDir>
#include <QImage>
#include <QtTest>

// The README's pictures (docs/screenshots) against what the tour renders
// today, by content: a view changed since they were taken fails here, named,
// until `scripts/tour docs/screenshots` renews them. Antialiasing may differ
// in a few pixels; a changed text or layout changes hundreds.
class ReadmePicturesTest : public QObject
{
    Q_OBJECT

    static constexpr int kChannelTolerance = 40;
    static constexpr double kChangedShare = 0.002;

    static bool pixelsDiffer(QRgb a, QRgb b)
    {
        return std::abs(qRed(a) - qRed(b)) > kChannelTolerance
               || std::abs(qGreen(a) - qGreen(b)) > kChannelTolerance
               || std::abs(qBlue(a) - qBlue(b)) > kChannelTolerance;
    }

    // Why the two pictures differ, or empty when they show the same.
    static QString difference(const QImage &kept, const QImage &fresh)
    {
        if (kept.size() != fresh.size())
            return QStringLiteral("size %1x%2, now %3x%4")
                .arg(kept.width())
                .arg(kept.height())
                .arg(fresh.width())
                .arg(fresh.height());
        const QImage a = kept.convertToFormat(QImage::Format_RGB32);
        const QImage b = fresh.convertToFormat(QImage::Format_RGB32);
        qsizetype changed = 0;
        for (int y = 0; y < a.height(); ++y) {
            const auto *rowA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
            const auto *rowB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
            for (int x = 0; x < a.width(); ++x)
                changed += pixelsDiffer(rowA[x], rowB[x]);
        }
        if (changed <= kChangedShare * a.width() * a.height())
            return {};
        return QStringLiteral("%1 pixels changed").arg(changed);
    }

private slots:
    void readmePicturesShowTodaysViews()
    {
        const QDir kept(QStringLiteral(TL_SOURCE_DIR "/docs/screenshots"));
        const QDir fresh(QStringLiteral(TL_BINARY_DIR "/tour"));
        // The calendar pictures show today's dates and clock times (the Soon
        // meeting starts a few minutes from now), so they change with the
        // clock without any view changing.
        const QStringList pictures = kept.entryList({QStringLiteral("0*.png")})
                                         .filter(QRegularExpression(
                                             QStringLiteral("^(?!02-calendar|09-calendar-join)")));
        QVERIFY(pictures.size() >= 10);
        QStringList stale;
        for (const QString &name : pictures) {
            const QImage fromTour(fresh.filePath(name));
            QVERIFY2(!fromTour.isNull(), qPrintable(name + QStringLiteral(": the tour made none")));
            const QString why = difference(QImage(kept.filePath(name)), fromTour);
            if (!why.isEmpty())
                stale << name + QStringLiteral(": ") + why;
        }
        QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("docs/screenshots is older than the views (run "
                                                            "scripts/tour docs/screenshots):\n")
                                             + stale.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(ReadmePicturesTest)
#include "tst_readmepictures.moc"
