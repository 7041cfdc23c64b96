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
#include <QTest>

#include <memory>

namespace qmltest {

// A dark palette like the desktop's dark themes give, for dark screenshots.
inline QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
    p.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xf0));
    p.setColor(QPalette::Base, QColor(0x1f, 0x1f, 0x22));
    p.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x37));
    p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xf0));
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xf0));
    p.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3e));
    p.setColor(QPalette::ToolTipText, QColor(0xee, 0xee, 0xf0));
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x94));
    p.setColor(QPalette::Mid, QColor(0x50, 0x50, 0x55));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Light, QColor(0x55, 0x55, 0x5a));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x84));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x84));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x84));
    return p;
}

inline QPalette lightPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0xf6, 0xf5, 0xf4));
    p.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Button, QColor(0xed, 0xed, 0xed));
    p.setColor(QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Highlight, QColor(0x1c, 0x71, 0xd8));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

inline void usePalette(bool dark)
{
    QGuiApplication::setPalette(dark ? darkPalette() : lightPalette());
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
