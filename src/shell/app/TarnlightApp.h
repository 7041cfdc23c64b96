// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickWindow>

#include <memory>

class ApplicationService;
class GoogleAuthService;
class MailNotifier;
class MeetingReminders;
class TrayIcon;
class UnreadMonitor;

// The running shell: the tray icon, the popover window and the settings
// window, all showing the one registry. Main thread only.
class TarnlightApp : public QObject
{
    Q_OBJECT

public:
    explicit TarnlightApp(GoogleAuthService &auth, QObject *parent = nullptr);
    ~TarnlightApp() override;

    // Shows the tray icon; on a desktop without a tray, the first start shows
    // the popover and a notice of where to find Tarnlight.
    void start();
    // Answers the session bus's activation: Activate toggles the popover,
    // ActivateAction runs one of runAction's names.
    void listenOn(ApplicationService &service);

    bool hasTray() const { return m_tray != nullptr; }
    TrayIcon *tray() const { return m_tray.get(); }
    QQuickWindow *popover() const { return m_popover.data(); }
    QQuickWindow *settingsWindow() const { return m_settings.data(); }
    QQuickWindow *aboutWindow() const { return m_about.data(); }
    QQmlEngine &engine() { return m_engine; }
    UnreadMonitor &unread() { return *m_unread; }

public slots:
    void togglePopover();
    void showPopover();
    // Shows the popover once the tray icon's place is known (up to a second
    // after start), or in the top-right corner when the tray never says.
    void showPopoverAtStart();
    void hidePopover();
    // Opens the settings window, or raises it when it is open already.
    void openSettings();
    // Opens the About window, or raises it.
    void openAbout();
    // What the D-Bus activation asks: "show" (the desktop file's action),
    // "settings" and "quit"; others are ignored.
    void runAction(const QString &name);

private slots:
    void noteHiddenByFocusLoss();
    // Once the popover is hidden and its tab view gone: the script heap's
    // garbage and the allocator's free pages go back to the system.
    void releaseMemory();

signals:
    // The user chose "Quit"; the owner of the event loop ends it.
    void quitRequested();

private:
    QQuickWindow *createWindow(const QString &file);
    // Creates the window of the file into `slot` when it is not open, and raises it.
    void openWindow(QPointer<QQuickWindow> &slot, const QString &file);
    // Next to the tray icon, or the pointer when the icon's place is unknown
    // (at start, when no click has been made, the top-right corner).
    void anchorPopover();
    void startWithoutTray();
    void waitForTrayThenShow();
    void placePopover();
    void showUnread();
    // The unread check takes its interval and notice choice from the settings.
    void followUnreadSettings();
    void followReminderSetting();

    GoogleAuthService &m_auth;
    QQmlEngine m_engine;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<UnreadMonitor> m_unread;
    std::unique_ptr<MailNotifier> m_notifier;
    std::unique_ptr<MeetingReminders> m_reminders;
    QPointer<QQuickWindow> m_popover;
    QPointer<QQuickWindow> m_settings;
    QPointer<QQuickWindow> m_about;
    QRect m_anchor;
    QElapsedTimer m_sinceFocusLoss;
    QElapsedTimer m_sinceStartShow; // valid while the first show waits for the tray
};
