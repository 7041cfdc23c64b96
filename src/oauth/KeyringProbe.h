// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace oauth {

// Why the system keyring could not be used, asked of the Secret Service on
// the session bus after a keychain operation failed (or found nothing, which
// is also how a locked keyring answers a lookup).
enum class KeyringCondition {
    Usable,  // running, default collection unlocked (or not known)
    Missing, // no Secret Service on the session bus, or no session bus
    Locked,  // the default collection is locked
};

// Asks with a short deadline per call, so a hung service cannot hold the app.
KeyringCondition probeKeyring();

// What the user is told for a missing or locked keyring; empty when usable.
QString keyringConditionText(KeyringCondition condition);

} // namespace oauth
