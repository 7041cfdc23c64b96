// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StepFailure.h"
#include "Tour.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace tour {

namespace {

bool matches(const QQuickItem *item, const QString &name)
{
    if (name.endsWith(u'*'))
        return item->objectName().startsWith(QStringView(name).chopped(1));
    return item->objectName() == name;
}

// What an error panel or error label says.
QString shownText(QQuickItem *item)
{
    if (QQuickItem *message = findShown(item, QStringLiteral("emptyStateMessage")))
        item = message;
    const QString text = item->property("text").toString();
    return text.isEmpty() ? item->property("message").toString() : text;
}

} // namespace

QQuickItem *findShown(QQuickItem *from, const QString &name)
{
    if (!from || !from->isVisible() || from->opacity() <= 0)
        return nullptr;
    if (matches(from, name))
        return from;
    for (QQuickItem *child : from->childItems())
        if (QQuickItem *found = findShown(child, name))
            return found;
    return nullptr;
}

QQuickItem *findShown(QQuickWindow *window, const QString &name)
{
    return window ? findShown(window->contentItem(), name) : nullptr;
}

void waitUntil(const std::function<bool()> &done, const QString &what, int timeoutMs)
{
    if (!QTest::qWaitFor(done, timeoutMs))
        throw StepFailure{QStringLiteral("%1: not done within %2 s").arg(what).arg(timeoutMs / 1000)};
}

QQuickItem *waitForShown(QQuickItem *from, const QString &name, const QString &what, const QString &failure,
                         int timeoutMs)
{
    QQuickItem *found = nullptr;
    const bool shown = QTest::qWaitFor(
        [&] {
            if (!failure.isEmpty())
                if (QQuickItem *error = findShown(from, failure))
                    throw StepFailure{
                        QStringLiteral("%1 failed, the view shows: %2").arg(what, shownText(error))};
            found = findShown(from, name);
            return found != nullptr && found->width() > 0 && found->height() > 0;
        },
        timeoutMs);
    if (!shown)
        throw StepFailure{QStringLiteral("%1: not shown within %2 s").arg(what).arg(timeoutMs / 1000)};
    return found;
}

QQuickItem *waitForShown(QQuickWindow *window, const QString &name, const QString &what,
                         const QString &failure, int timeoutMs)
{
    if (!window)
        throw StepFailure{what + QStringLiteral(": the window is not there")};
    return waitForShown(window->contentItem(), name, what, failure, timeoutMs);
}

void click(QQuickItem *item)
{
    if (!item->isEnabled())
        throw StepFailure{item->objectName() + QStringLiteral(" is disabled")};
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(item->window(), Qt::LeftButton, {}, centre.toPoint());
}

} // namespace tour
