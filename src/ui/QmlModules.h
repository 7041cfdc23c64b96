// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class GoogleAuthService;
class QQmlEngine;

namespace tl {

// Prepares an engine to load the app's QML modules, which are linked in
// statically and served from the application's resources, with loading from
// the network refused (QmlNetworkGate.h). The registry, when given, is the
// one its views see as GoogleAuthService (not owned).
void setUpQmlEngine(QQmlEngine &engine, GoogleAuthService *registry = nullptr);

} // namespace tl
