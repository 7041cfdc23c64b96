// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The colour that marks an account's rows while every account is shown: the
// same id always gives the same one. Each colour of the palette carries white
// initials legibly and stands apart from light and dark rows alike.
QColor accountColour(const QString &accountID);

// The palette accountColour picks from.
const QList<QColor> &accountPalette();
