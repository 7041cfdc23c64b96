// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "QmlTestSupport.h"

#include <QtTest>

// The shared empty-state panel and the symbol table behind every icon.
class EmptyStateTest : public QObject
{
    Q_OBJECT

private slots:
    void showsItsThreeTextsCentred()
    {
        qmltest::View view;
        auto *root = view.load(R"(
            import QtQuick
            import Tarnlight.Ui
            EmptyStateView {
                systemImage: "checkmark.circle"; title: "All clear"
                message: "No messages in the selected labels. This line is long enough to wrap twice."
            })",
                               QSize(380, 320));
        QVERIFY(root);
        auto *title = view.find("emptyStateTitle");
        auto *message = view.find("emptyStateMessage");
        QVERIFY(title && message);
        QCOMPARE(title->property("text").toString(), QStringLiteral("All clear"));
        QVERIFY(message->property("lineCount").toInt() >= 2);
        // Wrapped, and inside the panel with its margin on both sides.
        QVERIFY(message->width() <= 380 - 2 * 16);
        const QPointF centre = title->mapToItem(root, QPointF(title->width() / 2, 0));
        QVERIFY(qAbs(centre.x() - 190) < 2);
        view.save(QStringLiteral("ui-empty-state"));
    }

    // Every symbol resolves to a bundled picture, so no icon is ever blank
    // on a desktop without the icon theme.
    void everySymbolHasAFallbackPicture()
    {
        qmltest::View view;
        auto *root = view.load(R"(
            import QtQuick
            import Tarnlight.Ui
            Item { property var names: Object.keys(Symbols.themeNames)
                   function fallback(n) { return Symbols.fallback(n) } })",
                               QSize(10, 10));
        QVERIFY(root);
        const QStringList names = root->property("names").toStringList();
        QVERIFY(names.size() >= 23);
        for (const QString &name : names) {
            QVariant url;
            QMetaObject::invokeMethod(root, "fallback", Q_RETURN_ARG(QVariant, url), Q_ARG(QVariant, name));
            const QString path = url.toUrl().toString().replace(QStringLiteral("qrc:"), QStringLiteral(":"));
            QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(name + QStringLiteral(" has no picture at ") + path));
        }
    }

    void darkPaletteTurnsTextLight()
    {
        qmltest::usePalette(true);
        qmltest::View view;
        QVERIFY(view.load(R"(
            import QtQuick
            import Tarnlight.Ui
            EmptyStateView { systemImage: "calendar"; title: "Nothing scheduled"
                             message: "No events in the next two weeks." })",
                          QSize(380, 320)));
        const QColor colour = view.find("emptyStateTitle")->property("color").value<QColor>();
        QVERIFY(colour.lightness() > 200);
        view.save(QStringLiteral("ui-empty-state-dark"));
        qmltest::usePalette(false);
    }
};

QTEST_MAIN(EmptyStateTest)
#include "tst_emptystate.moc"
