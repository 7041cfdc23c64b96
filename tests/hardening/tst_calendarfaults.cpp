// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The provider breaking under the calendar tab: each fault ends in the
// error state once, with the listed events kept. Run under
// scripts/with-keyring.

#include "TabFaults.h"
#include "calendar/CalendarViewModel.h"

namespace {

const QString CalendarList = QStringLiteral("GET /calendar/v3/calendars/*");

int listedCount(const CalendarViewModel &model)
{
    return int(model.events().size());
}

} // namespace

class CalendarFaultsTest
    : public QObject
    , protected vmtest::TabFixture
{
    Q_OBJECT

private slots:
    TL_TAB_FAULT_SLOTS(CalendarViewModel, CalendarList, listedCount)
};

QTEST_GUILESS_MAIN(CalendarFaultsTest)
#include "tst_calendarfaults.moc"
