// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QQmlEngine;

namespace tl {

// Prepares an engine to load the app's QML modules, which are linked in
// statically and served from the application's resources, with loading from
// the network refused (QmlNetworkGate.h).
void setUpQmlEngine(QQmlEngine &engine);

} // namespace tl
