// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTest>

namespace tltest {

// One row of a data-driven test on one line: its name, then a value for each
// column in the order of the addColumn calls. The values stream into the row
// as `QTest::newRow(name) << ...` would take them.
template<typename... Values>
void row(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

} // namespace tltest
