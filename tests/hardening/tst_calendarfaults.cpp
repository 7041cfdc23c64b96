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

class CalendarFaultsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sandbox> m_sandbox;
    const Account m_alex = vmtest::account(QStringLiteral("alex"));

private slots:
    void initTestCase()
    {
        m_sandbox = faults::startTabProvider();
        if (!m_sandbox)
            QSKIP("Needs the private keyring of scripts/with-keyring; never touches the user's own.");
        QVERIFY(m_sandbox->isRunning());
    }

    void init()
    {
        m_sandbox->reset();
        QVERIFY(vmtest::saveSession(*m_sandbox, m_alex));
    }

    void reload_data() { faults::addFaultRows(); }
    void reload()
    {
        QFETCH(int, fault);
        faults::reloadUnderFault<CalendarViewModel>(*m_sandbox, m_alex, CalendarList, fault, listedCount);
    }

    void revokedGrant() { faults::revokedGrant<CalendarViewModel>(*m_sandbox, m_alex, listedCount); }
};

QTEST_GUILESS_MAIN(CalendarFaultsTest)
#include "tst_calendarfaults.moc"
