// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QGuiApplication>
#include <QSet>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTest>

namespace {

const QString kIconDir = QStringLiteral(TL_SOURCE_DIR "/resources/icons/");

QImage render(const QString &file, int size)
{
    QImageReader reader(kIconDir + file);
    reader.setScaledSize(QSize(size, size));
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// Share of the picture that is drawn (not transparent).
double coverage(const QImage &image)
{
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 64;
    return double(drawn) / (image.width() * image.height());
}

} // namespace

// The installed icons: an SVG that does not parse shows as a blank square in
// the menu and the tray, which no validator notices.
class IconsTest : public QObject
{
    Q_OBJECT

private slots:
    void iconsRenderAtTheSizesDesktopsAskFor_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32})
            QTest::addRow("tray %d", size) << "app.tarnlight.Tarnlight-symbolic.svg" << size;
        for (int size : {48, 128, 256})
            QTest::addRow("app %d", size) << "app.tarnlight.Tarnlight.svg" << size;
    }

    void iconsRenderAtTheSizesDesktopsAskFor()
    {
        QFETCH(QString, file);
        QFETCH(int, size);
        const QImage image = render(file, size);
        QVERIFY2(!image.isNull(), qPrintable(file));
        const double drawn = coverage(image);
        QVERIFY2(drawn > 0.15 && drawn < 0.95, qPrintable(QString::number(drawn)));
        QDir().mkpath(QStringLiteral(TL_BINARY_DIR "/screenshots"));
        image.save(QStringLiteral(TL_BINARY_DIR "/screenshots/icon-%1-%2.png")
                       .arg(file.section(u'.', 2, 2))
                       .arg(size));
    }

    // Symbolic icons are recoloured by the desktop, which works only on a
    // single-colour picture.
    void trayIconIsOneColour()
    {
        const QImage image = render(QStringLiteral("app.tarnlight.Tarnlight-symbolic.svg"), 64);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    colours.insert(image.pixel(x, y) & 0xffffff);
        QCOMPARE(colours.size(), 1);
    }
};

QTEST_MAIN(IconsTest)
#include "tst_icons.moc"
