// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class BrowserStandIn;
class GoogleAuthService;
class Pictures;
class QQuickItem;
class QQuickWindow;
class Sandbox;
class TarnlightApp;

// Walks a user's first minutes through the running app: sign-in, the three
// tabs, a summary, a drafted reply, a folder and an upload, a provider
// failure, the settings window, and a second account beside the first. Each step waits for what it needs with a
// time limit and photographs the result.
class Tour
{
public:
    struct Parts
    {
        TarnlightApp &app;
        GoogleAuthService &auth;
        Sandbox &sandbox;
        BrowserStandIn &browser;
        Pictures &pictures;
        QUrl fileToDrop;
    };

    explicit Tour(const Parts &parts) : m(parts) {}

    // Runs the steps in order and stops at the first that fails, naming it
    // on standard error. Returns the process's exit status.
    int run();

private:
    void signIn();
    void openEachTab();
    void draftReply();
    void walkDrive();
    void showFailure();
    void showBrief();
    void prepareMeeting();
    void joinSoonMeeting();
    void openSettings();
    void showAllAccounts();

    void take(QQuickWindow *window, const QString &name, const QString &caption);
    QQuickWindow *popover() const;
    void selectTab(const QString &title);
    QQuickItem *expandFirstMessage();
    QQuickItem *driveRow(const QString &name, const QString &what);
    void dropFile(QQuickItem *target);
    void scrollOnceSettled(QQuickItem *flickable, const std::function<qreal()> &end, const QString &what);

    Parts m;
    QString m_step;
};

// Looking at and acting on the windows as a user would.
namespace tour {

inline constexpr int StepTimeoutMs = 20000;

// The shown item (it and every item above it visible) under `from` whose
// objectName is `name`, or, when `name` ends in "*", begins with the rest.
QQuickItem *findShown(QQuickItem *from, const QString &name);
QQuickItem *findShown(QQuickWindow *window, const QString &name);
// Waits until the item is shown; throws StepFailure naming `what` when
// time runs out, or at once with its message when the item `failure` (an
// error panel) shows up instead.
QQuickItem *waitForShown(QQuickItem *from, const QString &name, const QString &what,
                         const QString &failure = {}, int timeoutMs = StepTimeoutMs);
QQuickItem *waitForShown(QQuickWindow *window, const QString &name, const QString &what,
                         const QString &failure = {}, int timeoutMs = StepTimeoutMs);
void waitUntil(const std::function<bool()> &done, const QString &what, int timeoutMs = StepTimeoutMs);
// A left click in the middle of the item.
void click(QQuickItem *item);

} // namespace tour
