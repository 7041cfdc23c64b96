// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "State.h"

#include <QDateTime>
#include <QString>

// The part of Gmail's search syntax the app sends: "is:unread",
// "newer_than:14d" (also h, m, y), "from:a" and "from:(a OR b)"; other
// words match the subject, sender or snippet. All terms must hold.
bool matchesSearch(const Message &message, const QString &query, const QDateTime &now);
