// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding the link that joins an event's video call, over events shaped as
// Google sends them.

#include "calendar/MeetingLink.h"

#include <QJsonArray>
#include <QTest>

class MeetingLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void findsTheLinkInOrder_data()
    {
        QTest::addColumn<QJsonObject>("event");
        QTest::addColumn<QString>("link");
        const auto video = [](const QString &uri) {
            return QJsonObject{{"entryPointType", "video"}, {"uri", uri}};
        };
        const auto conference = [](const QJsonArray &entryPoints) {
            return QJsonObject{{"entryPoints", entryPoints}};
        };

        QTest::newRow("hangoutLink before everything")
            << QJsonObject{{"hangoutLink", "https://meet.google.com/abc-defg-hij"},
                           {"conferenceData", conference({video("https://x.zoom.us/j/1")})},
                           {"location", "https://teams.microsoft.com/l/1"}}
            << "https://meet.google.com/abc-defg-hij";
        QTest::newRow("video entry point, phone and more skipped")
            << QJsonObject{{"conferenceData",
                            conference(
                                {QJsonObject{{"entryPointType", "phone"}, {"uri", "tel:+1-555-0100"}},
                                 QJsonObject{{"entryPointType", "more"}, {"uri", "https://tel.meet/abc"}},
                                 video("https://us02web.zoom.us/j/812?pwd=x")})}}
            << "https://us02web.zoom.us/j/812?pwd=x";
        QTest::newRow("plain-http links are passed over")
            << QJsonObject{{"hangoutLink", "http://meet.google.com/abc"},
                           {"conferenceData", conference({video("http://x.zoom.us/j/1")})},
                           {"location", "https://meet.jit.si/Room1"}}
            << "https://meet.jit.si/Room1";
        QTest::newRow("location before description")
            << QJsonObject{{"location", "Room Fjord / https://acme.webex.com/meet/lena"},
                           {"description", "https://meet.google.com/zzz"}}
            << "https://acme.webex.com/meet/lena";
        QTest::newRow("zoom link in an HTML description, after another link")
            << QJsonObject{{"description", "Notes: <a href=\"https://docs.google.com/d/1\">doc</a><br>"
                                           "Join Zoom Meeting<br><a href=\"https://us02web.zoom.us/j/8123?"
                                           "pwd=Tk9y\">https://us02web.zoom.us/j/8123?pwd=Tk9y</a>"}}
            << "https://us02web.zoom.us/j/8123?pwd=Tk9y";
        QTest::newRow("sentence punctuation is not part of the link")
            << QJsonObject{{"description",
                            "Call in at https://teams.microsoft.com/l/meetup-join/19%3ameeting_x."}}
            << "https://teams.microsoft.com/l/meetup-join/19%3Ameeting_x";
        QTest::newRow("bare zoom.us host")
            << QJsonObject{{"location", "https://zoom.us/j/555"}} << "https://zoom.us/j/555";
        QTest::newRow("look-alike hosts are not meeting hosts")
            << QJsonObject{{"description", "https://evilzoom.us/j/1 https://zoom.us.evil.com/j/2 "
                                           "https://meet.google.com.evil.com/x https://notwebex.com/m"}}
            << "";
        QTest::newRow("userinfo cannot dress up a host")
            << QJsonObject{{"description", "https://zoom.us@evil.example/j/1"}} << "";
        QTest::newRow("a meeting URL inside another URL is not taken")
            << QJsonObject{{"description", "https://evil.example/?next=https://zoom.us/j/1"}} << "";
        QTest::newRow("other schemes in text are ignored")
            << QJsonObject{{"description", "http://zoom.us/j/1 javascript:alert(1) ftp://meet.jit.si/x"}}
            << "";
        QTest::newRow("no link at all")
            << QJsonObject{{"summary", "Focus time"}, {"location", "Room Skerry"}} << "";
        QTest::newRow("wrong types are ignored")
            << QJsonObject{{"hangoutLink", 42},
                           {"conferenceData", QJsonObject{{"entryPoints", video("https://zoom.us/j/1")}}},
                           {"location", QJsonArray{"https://zoom.us/j/2"}}}
            << "";
    }

    void findsTheLinkInOrder()
    {
        QFETCH(QJsonObject, event);
        QFETCH(QString, link);
        QCOMPARE(calendar::meetingLink(event), link);
    }

    void meetingHostsMatchWholeOrByDotSuffix()
    {
        QVERIFY(calendar::isMeetingHost("MEET.GOOGLE.COM"));
        QVERIFY(calendar::isMeetingHost("acme.zoom.us"));
        QVERIFY(calendar::isMeetingHost("webex.com"));
        QVERIFY(!calendar::isMeetingHost("google.com"));
        QVERIFY(!calendar::isMeetingHost("xmeet.jit.si"));
        QVERIFY(!calendar::isMeetingHost("zoom.usa"));
        QVERIFY(!calendar::isMeetingHost(""));
    }
};

QTEST_GUILESS_MAIN(MeetingLinkTest)
#include "tst_meetinglink.moc"
