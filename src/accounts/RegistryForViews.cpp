// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accounts/RegistryForViews.h"

#include <QHash>
#include <QPointer>
#include <QQmlEngine>

namespace {

// One registry per engine: a process may hold several engines, each over a
// registry of its own (tests do).
QHash<const QQmlEngine *, QPointer<GoogleAuthService>> &provided()
{
    static QHash<const QQmlEngine *, QPointer<GoogleAuthService>> registries;
    return registries;
}

} // namespace

void GoogleAuthService::provideTo(QQmlEngine &engine, GoogleAuthService &registry)
{
    const QQmlEngine *key = &engine;
    if (!provided().contains(key))
        QObject::connect(&engine, &QObject::destroyed, [key] { provided().remove(key); });
    provided().insert(key, &registry);
}

GoogleAuthService *GoogleAuthService::providedTo(const QQmlEngine *engine)
{
    return provided().value(engine);
}

GoogleAuthService *RegistryForViews::create(QQmlEngine *engine, QJSEngine *)
{
    GoogleAuthService *registry = GoogleAuthService::providedTo(engine);
    if (!registry) {
        qWarning("No account registry was provided to this QML engine");
        return nullptr;
    }
    // The engine must never delete it: the app or the test owns it.
    QJSEngine::setObjectOwnership(registry, QJSEngine::CppOwnership);
    return registry;
}
