// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class GoogleAuthService;

namespace tl {

// Names the application: the tray item's title and the desktop file follow
// from it. Needs no display.
void setUpApplication();

// Runs the shell until the user quits: the session's one Tarnlight shows its
// tray icon and popover; a second one activates the first and returns 0.
int runShell(GoogleAuthService &auth);

} // namespace tl
