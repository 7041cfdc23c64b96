// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Loads the app's real QML offscreen for view tests: a window hosting one
// component, items found by objectName, screenshots under the build folder.

#include "Wait.h"
#include "accounts/GoogleAuthService.h"
#include "ui/QmlModules.h"

#include <QDir>
#include <QGuiApplication>
#include <QPalette>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQuickTest/quicktest.h>
#include <QTest>

#include <memory>

namespace qmltest {

// Each role's colour in the light and in the dark palette, as the desktop's
// light and dark themes give them; an invalid colour leaves the role as a
// default QPalette has it.
struct RoleColours
{
    QPalette::ColorRole role;
    QColor light;
    QColor dark;
};

// The palette for screenshots, light or dark. Dark themes also dim disabled text.
inline QPalette screenshotPalette(bool dark)
{
    static const RoleColours table[] = {
        {QPalette::Window, QColor(0xf6, 0xf5, 0xf4), QColor(0x2b, 0x2b, 0x2e)},
        {QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f), QColor(0xee, 0xee, 0xf0)},
        {QPalette::Base, Qt::white, QColor(0x1f, 0x1f, 0x22)},
        {QPalette::AlternateBase, {}, QColor(0x33, 0x33, 0x37)},
        {QPalette::Text, QColor(0x1d, 0x1d, 0x1f), QColor(0xee, 0xee, 0xf0)},
        {QPalette::Button, QColor(0xed, 0xed, 0xed), QColor(0x3a, 0x3a, 0x3e)},
        {QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f), QColor(0xee, 0xee, 0xf0)},
        {QPalette::Highlight, QColor(0x1c, 0x71, 0xd8), QColor(0x35, 0x84, 0xe4)},
        {QPalette::HighlightedText, Qt::white, Qt::white},
        {QPalette::ToolTipBase, {}, QColor(0x3a, 0x3a, 0x3e)},
        {QPalette::ToolTipText, {}, QColor(0xee, 0xee, 0xf0)},
        {QPalette::PlaceholderText, {}, QColor(0x90, 0x90, 0x94)},
        {QPalette::Mid, {}, QColor(0x50, 0x50, 0x55)},
        {QPalette::Dark, {}, QColor(0x18, 0x18, 0x1a)},
        {QPalette::Light, {}, QColor(0x55, 0x55, 0x5a)},
    };
    QPalette p;
    for (const RoleColours &colours : table) {
        const QColor &colour = dark ? colours.dark : colours.light;
        if (colour.isValid())
            p.setColor(colours.role, colour);
    }
    if (dark) {
        for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x84));
    }
    return p;
}

inline void usePalette(bool dark)
{
    QGuiApplication::setPalette(screenshotPalette(dark));
}

// Where screenshots go: <build>/screenshots/<name>.png
inline QString screenshotPath(const QString &name)
{
    const QString dir = QStringLiteral(TL_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name + QStringLiteral(".png");
}

// One window hosting a component made from QML text or a qrc URL.
class View
{
public:
    View()
    {
        tl::setUpQmlEngine(engine);
        window.setColor(QGuiApplication::palette().color(QPalette::Window));
    }

    // The registry the views see as GoogleAuthService; before the first load.
    void provide(GoogleAuthService *registry) { GoogleAuthService::provideTo(engine, *registry); }

    // Creates the component with the given initial properties inside a
    // window of the given size. Fails the test (returns null) on QML errors.
    QQuickItem *load(const QByteArray &qml, const QSize &size, const QVariantMap &properties = {})
    {
        QQmlComponent component(&engine);
        component.setData(qml, QUrl(QStringLiteral("qrc:/tests/View.qml")));
        return create(component, size, properties);
    }

    QQuickItem *loadUrl(const QUrl &url, const QSize &size, const QVariantMap &properties = {})
    {
        QQmlComponent component(&engine, url);
        return create(component, size, properties);
    }

    template<typename T = QQuickItem>
    T *find(const QString &objectName) const
    {
        return root ? root->findChild<T *>(objectName) : nullptr;
    }

    void save(const QString &name)
    {
        window.setColor(QGuiApplication::palette().color(QPalette::Window));
        QTest::qWait(50); // the palette's colours reach the items, through animations too
        const QImage image = window.grabWindow();
        QVERIFY2(!image.isNull(), "window could not be grabbed");
        QVERIFY(image.save(screenshotPath(name)));
    }

    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<QQuickItem> root;

private:
    QQuickItem *create(QQmlComponent &component, const QSize &size, const QVariantMap &properties)
    {
        if (component.isError()) {
            qWarning().noquote() << component.errorString();
            return nullptr;
        }
        QObject *object = component.createWithInitialProperties(properties);
        if (!object) {
            qWarning().noquote() << component.errorString();
            return nullptr;
        }
        root.reset(qobject_cast<QQuickItem *>(object));
        window.resize(size);
        root->setParentItem(window.contentItem());
        root->setSize(size);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the view window was never exposed");
        return root.get();
    }
};

// Every item under `from` (itself included) in the visual tree with the
// object name, in tree order; finds list delegates too.
inline QList<QQuickItem *> findItems(QQuickItem *from, const QString &objectName)
{
    QList<QQuickItem *> found;
    if (!from)
        return found;
    if (from->objectName() == objectName)
        found.append(from);
    for (QQuickItem *child : from->childItems())
        found += findItems(child, objectName);
    return found;
}

inline QQuickItem *findItem(QQuickItem *from, const QString &objectName)
{
    const auto found = findItems(from, objectName);
    return found.isEmpty() ? nullptr : found.first();
}

// A left click at the middle of the item, as the user would make it.
inline void click(QQuickItem *item)
{
    // A list laid out again after its rows changed places the item only
    // when the window polishes; clicking before that hits a neighbour.
    QVERIFY(QQuickTest::qWaitForPolish(item->window(), 5000));
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(item->window(), Qt::LeftButton, {}, centre.toPoint());
}

// Saves <name>.png in the light palette and <name>-dark.png in the dark one.
inline void saveLightAndDark(View &view, const QString &name)
{
    usePalette(false);
    view.save(name);
    usePalette(true);
    view.save(name + QStringLiteral("-dark"));
    usePalette(false);
}

} // namespace qmltest
