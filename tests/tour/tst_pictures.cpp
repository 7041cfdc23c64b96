// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Pictures.h"
#include "StepFailure.h"
#include "ui/QmlModules.h"

#include <QFile>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The tour's pictures: what counts as blank, both palettes saved, and the
// index page that shows them by step.
class PicturesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QQmlEngine m_engine;

    // A window filled with the palette's window colour, with a red square
    // on it unless it is to come out blank.
    std::unique_ptr<QQuickWindow> window(bool blank)
    {
        QQmlComponent component(&m_engine);
        component.setData(QByteArray("import QtQuick\n"
                                     "Window {\n"
                                     "  width: 120; height: 80; visible: true\n"
                                     "  SystemPalette { id: system }\n"
                                     "  color: system.window\n"
                                     "  Rectangle { width: 20; height: 20; color: \"red\"; visible: ")
                              + (blank ? "false" : "true") + " }\n}\n",
                          QUrl(QStringLiteral("qrc:/tests/Window.qml")));
        std::unique_ptr<QQuickWindow> made(qobject_cast<QQuickWindow *>(component.create()));
        if (!made)
            qWarning().noquote() << component.errorString();
        else if (!QTest::qWaitForWindowExposed(made.get()))
            qWarning("the window was never exposed");
        return made;
    }

    QString read(const QString &name) const
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void initTestCase() { tl::setUpQmlEngine(m_engine); }

    void singleColourIsBlank()
    {
        QImage image(40, 30, QImage::Format_ARGB32);
        image.fill(QColor(0x2b, 0x2b, 0x2e));
        QVERIFY(Pictures::isBlank(image));
        QVERIFY(Pictures::isBlank(QImage()));
        image.setPixelColor(39, 29, QColor(0x2b, 0x2b, 0x2f)); // one pixel, the last
        QVERIFY(!Pictures::isBlank(image));
    }

    void blankWindowFailsTheStep()
    {
        auto blank = window(true);
        QVERIFY(blank);
        Pictures pictures{QDir(m_dir.path())};
        try {
            pictures.take(blank.get(), QStringLiteral("1. sign in"), QStringLiteral("empty"),
                          QStringLiteral("x"));
            QFAIL("a blank picture was accepted");
        } catch (const StepFailure &failure) {
            QVERIFY2(failure.reason.contains(QStringLiteral("empty-dark.png came out blank")),
                     qPrintable(failure.reason));
        }
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("empty-dark.png"))));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("empty.png"))));
    }

    void bothPalettesAreSavedAndIndexedByStep()
    {
        auto shown = window(false);
        QVERIFY(shown);
        Pictures pictures{QDir(m_dir.path())};
        pictures.take(shown.get(), QStringLiteral("1. sign in"), QStringLiteral("01-a"),
                      QStringLiteral("First <a>"));
        pictures.take(shown.get(), QStringLiteral("2. tabs"), QStringLiteral("02-b"),
                      QStringLiteral("Second"));
        pictures.take(shown.get(), QStringLiteral("2. tabs"), QStringLiteral("02-c"),
                      QStringLiteral("Third"));
        QVERIFY(pictures.writeIndex());

        const QImage light(m_dir.filePath(QStringLiteral("01-a.png")));
        const QImage dark(m_dir.filePath(QStringLiteral("01-a-dark.png")));
        QCOMPARE(light.size(), QSize(120, 80));
        QVERIFY(light.pixelColor(100, 60).lightnessF() > 0.5);
        QVERIFY(dark.pixelColor(100, 60).lightnessF() < 0.5);

        const QString index = read(QStringLiteral("index.html"));
        QCOMPARE(index.count(QStringLiteral("<h2>")), 2); // one heading per step
        QCOMPARE(index.count(QStringLiteral("<figure>")), 3);
        QVERIFY(index.contains(QStringLiteral("src=\"02-c-dark.png\"")));
        QVERIFY(index.contains(QStringLiteral("First &lt;a&gt;")));
        QVERIFY(index.indexOf(QStringLiteral("02-b.png")) < index.indexOf(QStringLiteral("02-c.png")));
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
