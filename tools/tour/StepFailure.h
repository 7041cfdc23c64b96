// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Ends the running step of the tour, saying what went wrong.
struct StepFailure
{
    QString reason;
};
