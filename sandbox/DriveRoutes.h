// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "State.h"

#include <QJsonObject>

// The Drive file resource in the provider's full shape.
QJsonObject driveFileJson(const State &state, const DriveFile &file);
