// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/CalendarWindow.h"

#include <QTest>

class CalendarWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void keepsWallClockAcrossDaylightSaving();
};

void CalendarWindowTest::keepsWallClockAcrossDaylightSaving()
{
    const QTimeZone berlin("Europe/Berlin");
    QVERIFY(berlin.isValid());
    // 09:30 local the day before summer time begins (29 March 2026).
    const QDateTime now(QDate(2026, 3, 28), QTime(9, 30), berlin);
    const auto end = calendar::windowEnd(now, 14, berlin);
    QVERIFY(end);
    QCOMPARE(end->toTimeZone(berlin).time(), QTime(9, 30));
    QCOMPARE(end->toUTC(), QDateTime(QDate(2026, 4, 11), QTime(7, 30), Qt::UTC));
    QCOMPARE(now.secsTo(*end), 14 * 86400 - 3600);

    // Autumn: the window grows by an hour instead.
    const QDateTime october(QDate(2026, 10, 20), QTime(9, 30), berlin);
    QCOMPARE(october.secsTo(*calendar::windowEnd(october, 14, berlin)), 14 * 86400 + 3600);

    // The zone decides, not the zone the instant was expressed in.
    const auto fromUtc = calendar::windowEnd(now.toUTC(), 14, berlin);
    QCOMPARE(fromUtc->toUTC(), end->toUTC());
    QVERIFY(!calendar::windowEnd(QDateTime(), 14, berlin));

    // A wall-clock time the spring change skips still bounds the window.
    const QDateTime beforeGap(QDate(2026, 3, 15), QTime(2, 30), berlin);
    const auto gapEnd = calendar::windowEnd(beforeGap, 14, berlin);
    QVERIFY(gapEnd);
    QCOMPARE(gapEnd->toUTC(), QDateTime(QDate(2026, 3, 29), QTime(1, 30), Qt::UTC)); // 03:30 CEST
    QCOMPARE(beforeGap.secsTo(*gapEnd), 14 * 86400);
}

QTEST_GUILESS_MAIN(CalendarWindowTest)
#include "tst_calendarwindow.moc"
