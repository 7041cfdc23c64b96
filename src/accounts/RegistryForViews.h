// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/GoogleAuthService.h"

#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

class QJSEngine;

// The registry as the views' singleton GoogleAuthService. Declared apart
// from it so that an engine never makes a registry of its own (over the
// user's settings): each engine gets the one provided to it.
struct RegistryForViews
{
    Q_GADGET
    QML_FOREIGN(GoogleAuthService)
    QML_NAMED_ELEMENT(GoogleAuthService)
    QML_SINGLETON

public:
    // The registry provided to the engine, which stays the app's (or the
    // test's) to own; null, with a warning, when none was.
    static GoogleAuthService *create(QQmlEngine *engine, QJSEngine *);
};
