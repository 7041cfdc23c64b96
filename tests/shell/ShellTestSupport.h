// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Shared by the shell's view tests: the popover and settings views loaded
// from the real QML module over a registry in a known state, clicks as a
// user makes them, and a look-up of what is on screen by its text.

#include "QmlTestSupport.h"
#include "accounts/GoogleAuthService.h"

#include <QQuickItem>
#include <QTest>

// Starts the sandbox as the provider of sign-ins, its client's secrets in
// `dir`, for views in the light palette (with tst_signin_support.h).
#define TL_START_SIGN_IN_VIEWS(sandbox, dir)                                                                 \
    do {                                                                                                     \
        TL_START_SIGN_IN_PROVIDER(sandbox, dir);                                                             \
        qmltest::usePalette(false);                                                                          \
    } while (false)

namespace shelltest {

inline const QUrl PopoverUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Shell/PopoverRootView.qml"));
inline const QUrl SettingsUrl(QStringLiteral("qrc:/qt/qml/Tarnlight/Shell/SettingsView.qml"));

// The popover: 380 wide, as high as its rows ask.
inline QQuickItem *loadPopover(qmltest::View &view, GoogleAuthService *auth)
{
    view.provide(auth);
    QQuickItem *root = view.loadUrl(PopoverUrl, QSize(380, 420));
    if (!root)
        return nullptr;
    const auto fit = [&view, root] {
        const int height = qRound(root->implicitHeight());
        root->setHeight(height);
        view.window.resize(380, height);
    };
    QObject::connect(root, &QQuickItem::implicitHeightChanged, root, fit);
    fit();
    return root;
}

inline QQuickItem *loadSettings(qmltest::View &view, GoogleAuthService *auth)
{
    view.provide(auth);
    return view.loadUrl(SettingsUrl, QSize(460, 280));
}

// An item by objectName, also among those a Repeater made (which have no
// QObject parent to find them by).
inline QQuickItem *findItem(QQuickItem *item, const QString &name)
{
    if (!item)
        return nullptr;
    if (item->objectName() == name)
        return item;
    if (auto *found = item->findChild<QQuickItem *>(name))
        return found;
    for (QQuickItem *child : item->childItems())
        if (QQuickItem *found = findItem(child, name))
            return found;
    return nullptr;
}

inline QQuickItem *findItem(qmltest::View &view, const QString &name)
{
    return findItem(view.window.contentItem(), name);
}

inline QString text(const QQuickItem *item)
{
    return item ? item->property("text").toString() : QStringLiteral("<missing>");
}

// Shown: the item and every item above it are visible.
inline bool isShown(const QQuickItem *item)
{
    return item && item->isVisible() && item->opacity() > 0;
}

inline void click(qmltest::View &view, QQuickItem *item)
{
    QVERIFY2(item, "nothing to click");
    QVERIFY2(isShown(item) && item->width() > 0, qPrintable(item->objectName() + " is not on screen"));
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(&view.window, Qt::LeftButton, {}, centre.toPoint());
}

// The shown item anywhere in the window (popups included) whose text is `wanted`.
inline QQuickItem *findShownText(QQuickItem *item, const QString &wanted)
{
    if (!item || !item->isVisible())
        return nullptr;
    if (item->property("text").toString() == wanted)
        return item;
    for (QQuickItem *child : item->childItems())
        if (QQuickItem *found = findShownText(child, wanted))
            return found;
    return nullptr;
}

inline QQuickItem *findShownText(qmltest::View &view, const QString &wanted)
{
    return findShownText(view.window.contentItem(), wanted);
}

// Opens the account switcher's menu and waits until it is up.
inline QObject *openSwitcherMenu(qmltest::View &view)
{
    auto *menu = view.find<QObject>(QStringLiteral("switcherMenu"));
    if (!menu)
        return nullptr;
    click(view, view.find(QStringLiteral("accountSwitcher")));
    if (!QTest::qWaitFor([menu] { return menu->property("opened").toBool(); }, 3000))
        return nullptr;
    return menu;
}

} // namespace shelltest
