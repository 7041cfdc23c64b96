// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Tour.h"

#include "BrowserStandIn.h"
#include "Pictures.h"
#include "Sandbox.h"
#include "StepFailure.h"
#include "accounts/GoogleAuthService.h"
#include "shell/app/TarnlightApp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QFileInfo>
#include <QMimeData>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>

using namespace tour;

namespace {

struct Step
{
    const char *title;
    void (Tour::*run)();
};

} // namespace

int Tour::run()
{
    const Step steps[] = {
        {"sign in", &Tour::signIn},
        {"open each tab", &Tour::openEachTab},
        {"draft a reply", &Tour::draftReply},
        {"walk into a folder and drop a file", &Tour::walkDrive},
        {"show a provider failure", &Tour::showFailure},
        {"brief", &Tour::showBrief},
        {"meeting-prep", &Tour::prepareMeeting},
        {"calendar-join", &Tour::joinSoonMeeting},
        {"open both settings tabs", &Tour::openSettings},
        {"all-accounts", &Tour::showAllAccounts},
    };
    int number = 0;
    for (const Step &step : steps) {
        m_step = QStringLiteral("%1. %2").arg(++number).arg(QLatin1String(step.title));
        std::fprintf(stderr, "tour: %s\n", qPrintable(m_step));
        try {
            (this->*step.run)();
        } catch (const StepFailure &failure) {
            m.pictures.keepFailure(popover(), QStringLiteral("failed-popover"));
            m.pictures.keepFailure(m.app.settingsWindow(), QStringLiteral("failed-settings"));
            m.pictures.writeIndex();
            std::fprintf(stderr, "tour: step %d \"%s\" failed: %s\n", number, step.title,
                         qPrintable(failure.reason));
            return 1;
        }
    }
    if (!m.pictures.writeIndex()) {
        std::fprintf(stderr, "tour: cannot write index.html\n");
        return 1;
    }
    return 0;
}

QQuickWindow *Tour::popover() const
{
    return m.app.popover();
}

void Tour::take(QQuickWindow *window, const QString &name, const QString &caption)
{
    m.pictures.take(window, m_step, name, caption);
}

void Tour::selectTab(const QString &title)
{
    click(waitForShown(popover(), QStringLiteral("tabSegment") + title, QStringLiteral("the tab picker")));
    waitForShown(popover(), title.toLower() + QStringLiteral("Tab"), QStringLiteral("the %1 tab").arg(title));
}

void Tour::signIn()
{
    QQuickItem *button = waitForShown(popover(), QStringLiteral("signInButton"),
                                      QStringLiteral("the popover's sign-in view"));
    take(popover(), QStringLiteral("01-signed-out"),
         QStringLiteral("Before sign-in: the popover invites to connect a Google account."));
    click(button);
    waitUntil(
        [this] {
            if (!m.browser.failure().isEmpty())
                throw StepFailure{m.browser.failure()};
            if (QQuickItem *error = findShown(popover(), QStringLiteral("signInError")))
                if (!error->property("text").toString().isEmpty())
                    throw StepFailure{QStringLiteral("sign-in failed: ")
                                      + error->property("text").toString()};
            return m.auth.activeAccount().has_value();
        },
        QStringLiteral("sign-in through the sandbox's consent"));
    waitForShown(popover(), QStringLiteral("mailTab"), QStringLiteral("the Mail tab after sign-in"));
}

QQuickItem *Tour::expandFirstMessage()
{
    QQuickItem *row = waitForShown(popover(), QStringLiteral("mailRow:*"),
                                   QStringLiteral("the inbox listing"), QStringLiteral("mailError"));
    click(waitForShown(row, QStringLiteral("mailRowHeader"), QStringLiteral("the first message's header")));
    waitForShown(row, QStringLiteral("summaryReady"), QStringLiteral("the summary of the first message"),
                 QStringLiteral("summaryMessage"));
    return row;
}

void Tour::openEachTab()
{
    expandFirstMessage();
    take(popover(), QStringLiteral("02-mail-summary"),
         QStringLiteral("Mail: the unread inbox; the expanded message shows the local model's summary "
                        "with its action item, and the message's actions."));

    selectTab(QStringLiteral("Drive"));
    waitForShown(popover(), QStringLiteral("driveRow:*"), QStringLiteral("the Drive listing"),
                 QStringLiteral("driveError"));
    take(popover(), QStringLiteral("02-drive"), QStringLiteral("Drive: the top of My Drive, folders first."));

    selectTab(QStringLiteral("Calendar"));
    waitForShown(popover(), QStringLiteral("eventRow:*"), QStringLiteral("the calendar listing"),
                 QStringLiteral("calendarError"));
    take(popover(), QStringLiteral("02-calendar"),
         QStringLiteral("Calendar: the next two weeks by day, the day's header pinned while it scrolls."));
}

void Tour::draftReply()
{
    selectTab(QStringLiteral("Mail"));
    QQuickItem *row = expandFirstMessage();
    const qsizetype openedBefore = m.browser.opened().size();
    click(waitForShown(row, QStringLiteral("draftReply"), QStringLiteral("the \"Draft reply\" action")));
    waitForShown(row, QStringLiteral("replyDone"), QStringLiteral("the drafted reply"),
                 QStringLiteral("replyFailed"));
    waitUntil([&] { return m.browser.opened().size() > openedBefore; },
              QStringLiteral("opening the draft in the browser"));
    take(popover(), QStringLiteral("03-reply"),
         QStringLiteral("A reply drafted by the local model, saved as a Gmail draft in the thread and "
                        "opened in the browser for review."));
}

void Tour::dropFile(QQuickItem *target)
{
    QMimeData data;
    data.setUrls({m.fileToDrop});
    QQuickWindow *window = target->window();
    const QPoint at = target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
}

QQuickItem *Tour::driveRow(const QString &name, const QString &what)
{
    return waitForShown(popover(), QStringLiteral("driveRow:") + name, what, QStringLiteral("driveError"));
}

void Tour::walkDrive()
{
    selectTab(QStringLiteral("Drive"));
    click(waitForShown(driveRow(QStringLiteral("Projects"), QStringLiteral("the Projects folder")),
                       QStringLiteral("driveRowButton"), QStringLiteral("the Projects folder's row")));
    driveRow(QStringLiteral("2025"), QStringLiteral("the listing inside Projects"));
    take(popover(), QStringLiteral("04-drive-folder"),
         QStringLiteral("Drive: inside a folder, with the trail of folders back up."));

    click(waitForShown(popover(), QStringLiteral("crumb:My Drive"),
                       QStringLiteral("the trail's \"My Drive\"")));
    QQuickItem *folder = driveRow(QStringLiteral("Projects"), QStringLiteral("the top of My Drive again"));
    // The provider holds the upload a while, so the picture catches it running.
    for (const char *route : {"POST /upload/drive/v3/files*", "POST /resumable/upload/drive/v3/files*"})
        m.sandbox.injectFault(
            QJsonObject{{QStringLiteral("route"), QLatin1String(route)}, {QStringLiteral("delayMs"), 4000}});
    dropFile(folder);
    const QString name = QFileInfo(m.fileToDrop.toLocalFile()).fileName();
    waitForShown(popover(), QStringLiteral("uploadRow:") + name, QStringLiteral("the running upload"));
    take(popover(), QStringLiteral("04-drive-upload"),
         QStringLiteral("Drive: a file dropped from the file manager on a folder uploads into it."));
    waitUntil(
        [this] {
            for (const QJsonValue &upload : m.sandbox.uploads())
                if (upload.toObject().value(QStringLiteral("status")).toString() == QLatin1String("final"))
                    return true;
            return false;
        },
        QStringLiteral("the dropped file's upload"));
    waitUntil([&] { return !findShown(popover(), QStringLiteral("uploadRow:") + name); },
              QStringLiteral("the upload leaving the strip"));
    m.sandbox.clearFaults();
}

void Tour::showFailure()
{
    m.sandbox.injectFault(QJsonObject{
        {QStringLiteral("route"), QStringLiteral("GET /calendar/v3/calendars/*")},
        {QStringLiteral("status"), 503},
        {QStringLiteral("contentType"), QStringLiteral("application/json")},
        {QStringLiteral("body"), QStringLiteral(R"({"error":{"code":503,"message":"The service is currently )"
                                                R"(unavailable.","status":"UNAVAILABLE"}})")},
        {QStringLiteral("count"), -1},
    });
    selectTab(QStringLiteral("Calendar"));
    waitForShown(popover(), QStringLiteral("calendarError"), QStringLiteral("the calendar's error panel"));
    take(popover(), QStringLiteral("05-failure"),
         QStringLiteral("A provider failure: the Calendar tab shows the provider's own message."));
    m.sandbox.clearFaults();
}

void Tour::showBrief()
{
    click(
        waitForShown(popover(), QStringLiteral("briefButton"), QStringLiteral("the header's Brief button")));
    waitForShown(popover(), QStringLiteral("briefView"), QStringLiteral("the brief"));
    click(waitForShown(popover(), QStringLiteral("briefAsk"),
                       QStringLiteral("the brief's \"Find what needs me\""), QStringLiteral("briefError")));
    QQuickItem *item = waitForShown(popover(), QStringLiteral("briefItem:*"),
                                    QStringLiteral("the items that need the user"),
                                    QStringLiteral("briefFailed"));
    // Scrolled to Needs you, the end of the brief.
    QQuickItem *flickable = item->parentItem();
    while (flickable && !flickable->property("contentY").isValid())
        flickable = flickable->parentItem();
    if (!flickable)
        throw StepFailure{QStringLiteral("the brief is not scrollable")};
    // The items arrive one by one: scroll once the end has stayed put.
    scrollOnceSettled(
        flickable,
        [&] { return qMax(0.0, flickable->property("contentHeight").toReal() - flickable->height()); },
        QStringLiteral("the brief to settle"));
    take(popover(), QStringLiteral("07-brief"),
         QStringLiteral("The brief: what is left of today with its overlaps and next call, and what the "
                        "unread mail asks, each item linked to its message."));
}

// Scrolls `flickable` to the place `end` names until that place has stayed
// put for half a second (lists grow while their items lay out).
void Tour::scrollOnceSettled(QQuickItem *flickable, const std::function<qreal()> &end, const QString &what)
{
    qreal lastEnd = -1;
    QElapsedTimer unchanged;
    waitUntil(
        [&] {
            const qreal now = end();
            if (now != lastEnd || !unchanged.isValid())
                unchanged.start();
            lastEnd = now;
            flickable->setProperty("contentY", now);
            return unchanged.elapsed() >= 500;
        },
        what);
}

void Tour::prepareMeeting()
{
    selectTab(QStringLiteral("Calendar"));
    QQuickItem *row = waitForShown(popover(), QStringLiteral("eventRow:brief0001"),
                                   QStringLiteral("the seeded roadmap review"),
                                   QStringLiteral("calendarError"));
    QQuickItem *list = waitForShown(popover(), QStringLiteral("calendarList"),
                                    QStringLiteral("the calendar list"));
    list->setProperty("contentY", row->y() - 24); // below the pinned day header
    click(waitForShown(row, QStringLiteral("eventButton"), QStringLiteral("the review's row")));
    waitForShown(row, QStringLiteral("prepFile"), QStringLiteral("the review's files"));
    click(waitForShown(row, QStringLiteral("prepPrepare"), QStringLiteral("the card's \"Prepare\"")));
    waitForShown(row, QStringLiteral("prepLine"), QStringLiteral("the model's lines for the meeting"),
                 QStringLiteral("prepNote"));
    // The card grows while its lines lay out: scroll once its end stays put.
    scrollOnceSettled(
        list, [&] { return row->y() + row->height() - list->height(); },
        QStringLiteral("the meeting card to settle"));
    take(popover(), QStringLiteral("07-meeting-prep"),
         QStringLiteral("Meeting prep: an expanded event shows its call, guests and their answers, their "
                        "unread mail, its files, and three lines from the local model."));
}

void Tour::joinSoonMeeting()
{
    m.sandbox.control("POST", QStringLiteral("event"),
                      QJsonObject{{"sub", Sandbox::AlexSub},
                                  {"id", "designreview"},
                                  {"summary", "Design review"},
                                  {"startsIn", 5 * 60},
                                  {"location", "Room Fjord"},
                                  {"hangoutLink", "https://meet.google.com/dsg-rvw-fjd"}});
    selectTab(QStringLiteral("Calendar"));
    click(waitForShown(popover(), QStringLiteral("refreshButton"), QStringLiteral("the header's refresh")));
    QQuickItem *row = waitForShown(popover(), QStringLiteral("eventRow:designreview"),
                                   QStringLiteral("the meeting that starts in five minutes"),
                                   QStringLiteral("calendarError"));
    waitForShown(row, QStringLiteral("joinButton"), QStringLiteral("the Soon row's Join"));
    // The meeting card of the step before is open further down: show today's top.
    QQuickItem *list = waitForShown(popover(), QStringLiteral("calendarList"), QStringLiteral("the agenda"));
    waitUntil(
        [&] {
            QMetaObject::invokeMethod(list, "positionViewAtBeginning");
            const qreal top = row->mapToItem(list, QPointF()).y();
            return top >= 0 && top + row->height() <= list->height();
        },
        QStringLiteral("the meeting's row in view"));
    take(popover(), QStringLiteral("09-calendar-join"),
         QStringLiteral("Calendar: a video meeting that starts within ten minutes offers Join."));
}

void Tour::openSettings()
{
    click(waitForShown(popover(), QStringLiteral("settingsButton"), QStringLiteral("the footer's Settings")));
    waitUntil([this] { return m.app.settingsWindow() && m.app.settingsWindow()->isExposed(); },
              QStringLiteral("the settings window to open"));
    QQuickWindow *settings = m.app.settingsWindow();
    waitForShown(settings, QStringLiteral("accountRow:*"),
                 QStringLiteral("the signed-in account in settings"));
    take(settings, QStringLiteral("06-settings-accounts"),
         QStringLiteral(
             "Settings, Accounts: the signed-in accounts, the active one marked, and Add Account."));
    click(waitForShown(settings, QStringLiteral("calendarsButton"),
                       QStringLiteral("the account's Calendars…")));
    waitForShown(settings, QStringLiteral("calendarChoice:*"), QStringLiteral("the account's calendars"),
                 QStringLiteral("calendarPickerError"));
    take(settings, QStringLiteral("06-settings-calendars"),
         QStringLiteral(
             "Settings, Calendars…: the account's calendars in their colours; the agenda merges the "
             "ticked ones."));
    click(waitForShown(settings, QStringLiteral("calendarPickerDone"), QStringLiteral("the picker's Done")));
    click(waitForShown(settings, QStringLiteral("generalTabButton"), QStringLiteral("the General tab")));
    waitForShown(settings, QStringLiteral("refreshEvery"), QStringLiteral("the General tab's content"));
    take(settings, QStringLiteral("06-settings-general"),
         QStringLiteral("Settings, General: refresh interval, launch at login, new-mail notices."));
}

void Tour::showAllAccounts()
{
    m.sandbox.setConsent(QStringLiteral("grant"), Sandbox::MiraSub);
    const auto adding = m.auth.addAccount();
    waitUntil([this] { return m.auth.accounts().size() == 2 && !m.auth.hasPendingSignIn(); },
              QStringLiteral("a second sign-in through the sandbox's consent"));
    m.auth.showAllAccounts();
    m.app.showPopover();
    selectTab(QStringLiteral("Mail"));
    waitForShown(popover(), QStringLiteral("accountDot:") + m.auth.accounts().last().id,
                 QStringLiteral("the second account's rows in the merged inbox"),
                 QStringLiteral("mailError"));
    take(popover(), QStringLiteral("08-all-accounts"),
         QStringLiteral("All accounts: every account's unread mail, newest first, each row marked with its "
                        "account's dot."));
}
