// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/TarnlightApp.h"

#include "accounts/GoogleAuthService.h"
#include "calendar/CalendarChoice.h"
#include "calendar/MeetingReminders.h"
#include "mail/MailLabelChoice.h"
#include "mail/UnreadMonitor.h"
#include "shell/app/AppSettings.h"
#include "shell/app/ApplicationService.h"
#include "shell/app/MailNotifier.h"
#include "shell/app/PopoverPlacement.h"
#include "shell/app/TrayIcon.h"
#include "support/Connectivity.h"
#include "ui/QmlModules.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QScreen>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

const QString ShellModule = QStringLiteral("qrc:/qt/qml/Tarnlight/Shell/");
// A click on the tray icon may first take the focus from the open popover,
// which hides it; the toggle of that same click must not reopen it.
constexpr qint64 kClickAfterHideMs = 300;

bool isX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Shows a window in front and gives it the keyboard. Only X11 lets a client
// raise its own window; elsewhere activation does it.
void bringForward(QQuickWindow *window)
{
    window->show();
    if (isX11())
        window->raise();
    window->requestActivate();
}

} // namespace

TarnlightApp::TarnlightApp(GoogleAuthService &auth, QObject *parent) : QObject(parent), m_auth(auth)
{
    // No main window: closing the settings window must not end the app.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    tl::setUpQmlEngine(m_engine, &m_auth);
    connect(&m_engine, &QQmlEngine::quit, this, &TarnlightApp::quitRequested, Qt::QueuedConnection);
    // Made now, so that every sign-out forgets the account's labels.
    MailLabelChoice::of(m_auth);
    CalendarChoice::of(m_auth);
    m_unread = std::make_unique<UnreadMonitor>(m_auth);
    followUnreadSettings();
    m_notifier = std::make_unique<MailNotifier>(m_auth);
    connect(m_unread.get(), &UnreadMonitor::countsChanged, this, &TarnlightApp::showUnread);
    connect(m_unread.get(), &UnreadMonitor::newMail, this,
            [this](const Account &account, const QList<EmailMessage> &messages, int count) {
                m_notifier->announce(account, messages, count);
            });
    connect(m_notifier.get(), &MailNotifier::popoverRequested, this, &TarnlightApp::showPopover);
    // After sleep or a time offline, one check; what arrived meanwhile is
    // announced together.
    connect(&Connectivity::instance(), &Connectivity::resumed, this, [this] { m_unread->checkNow(); });
    followReminderSetting();
}

void TarnlightApp::followReminderSetting()
{
    m_reminders = std::make_unique<MeetingReminders>(m_auth);
    AppSettings &settings = AppSettings::instance();
    m_reminders->setEnabled(settings.remindMeetings());
    m_reminders->reload();
    connect(&settings, &AppSettings::remindMeetingsChanged, m_reminders.get(),
            [this] { m_reminders->setEnabled(AppSettings::instance().remindMeetings()); });
}

void TarnlightApp::followUnreadSettings()
{
    AppSettings &settings = AppSettings::instance();
    m_unread->setRefreshMinutes(settings.refreshMinutes());
    m_unread->setNotifyNewMail(settings.notifyNewMail());
    connect(&settings, &AppSettings::refreshMinutesChanged, m_unread.get(),
            [this] { m_unread->setRefreshMinutes(AppSettings::instance().refreshMinutes()); });
    connect(&settings, &AppSettings::notifyNewMailChanged, m_unread.get(),
            [this] { m_unread->setNotifyNewMail(AppSettings::instance().notifyNewMail()); });
}

TarnlightApp::~TarnlightApp()
{
    delete m_settings;
    delete m_about;
    delete m_popover;
}

void TarnlightApp::start()
{
    m_popover = createWindow(QStringLiteral("PopoverWindow.qml"));
    if (!m_popover)
        return;
    connect(m_popover, SIGNAL(settingsRequested()), this, SLOT(openSettings()));
    connect(m_popover, SIGNAL(hiddenByFocusLoss()), this, SLOT(noteHiddenByFocusLoss()));
    connect(m_popover, &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible) // after the tab view's deferred deletion
            QTimer::singleShot(0, this, &TarnlightApp::releaseMemory);
    });
    // The body grows when the tabs replace the sign-in view; stay on screen.
    connect(m_popover, &QWindow::heightChanged, this, [this] {
        if (m_popover->isVisible() && isX11())
            placePopover();
    });
    if (!TrayIcon::desktopHasTray()) {
        startWithoutTray();
        return;
    }
    m_tray = std::make_unique<TrayIcon>();
    connect(m_tray.get(), &TrayIcon::toggleRequested, this, &TarnlightApp::togglePopover);
    connect(m_tray.get(), &TrayIcon::openRequested, this, &TarnlightApp::showPopover);
    connect(m_tray.get(), &TrayIcon::settingsRequested, this, &TarnlightApp::openSettings);
    connect(m_tray.get(), &TrayIcon::aboutRequested, this, &TarnlightApp::openAbout);
    connect(m_tray.get(), &TrayIcon::quitRequested, this, &TarnlightApp::quitRequested);
    connect(m_tray.get(), &TrayIcon::accountChosen, this, [this](const QString &accountID) {
        m_auth.setActiveByID(accountID);
        showPopover();
    });
    connect(&m_auth, &GoogleAuthService::accountsChanged, this, &TarnlightApp::showUnread);
    m_tray->show();
    showUnread();
    m_unread->start();
}

// Nothing to click: the app menu and a second `tarnlight` toggle the popover,
// which stays up until Escape or "Quit". Only the first start shows it and
// says why there is no icon; later ones (launch at login) start hidden.
void TarnlightApp::startWithoutTray()
{
    m_popover->setProperty("hidesOnFocusLoss", false);
    m_unread->start();
    AppSettings &settings = AppSettings::instance();
    if (settings.noTrayTold())
        return;
    // A start by D-Bus activation is followed by Activate, which shows it.
    if (!qEnvironmentVariableIsSet("DBUS_STARTER_BUS_TYPE"))
        showPopover();
    connect(m_notifier.get(), &MailNotifier::noTrayAnnounced, this,
            [] { AppSettings::instance().setNoTrayTold(); });
    m_notifier->announceNoTray();
}

void TarnlightApp::showUnread()
{
    if (!m_tray)
        return;
    const QList<QPair<Account, int>> counts = m_unread->counts();
    m_tray->setUnread(UnreadMonitor::badgeText(m_unread->total()), UnreadMonitor::tooltip(counts));
    QList<QPair<Account, std::optional<int>>> entries;
    for (const Account &account : m_auth.accounts()) {
        std::optional<int> count;
        for (const auto &[counted, n] : counts)
            if (counted.id == account.id)
                count = n;
        entries.append({account, count});
    }
    m_tray->setAccounts(entries);
}

void TarnlightApp::listenOn(ApplicationService &service)
{
    connect(&service, &ApplicationService::activateRequested, this, &TarnlightApp::togglePopover);
    connect(&service, &ApplicationService::actionRequested, this, &TarnlightApp::runAction);
}

QQuickWindow *TarnlightApp::createWindow(const QString &file)
{
    QQmlComponent component(&m_engine, QUrl(ShellModule + file));
    if (!component.isReady()) {
        qWarning().noquote() << component.status() << component.errorString();
        return nullptr;
    }
    QObject *object = component.create();
    auto *window = qobject_cast<QQuickWindow *>(object);
    if (!window) {
        qWarning().noquote() << component.errorString();
        delete object;
        return nullptr;
    }
    return window;
}

void TarnlightApp::togglePopover()
{
    if (!m_popover)
        return;
    if (m_popover->isVisible())
        hidePopover();
    else if (!m_sinceFocusLoss.isValid() || m_sinceFocusLoss.elapsed() > kClickAfterHideMs)
        showPopover();
}

void TarnlightApp::noteHiddenByFocusLoss()
{
    m_sinceFocusLoss.start();
}

void TarnlightApp::releaseMemory()
{
    if (m_popover && m_popover->isVisible())
        return;
    m_engine.collectGarbage();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void TarnlightApp::showPopover()
{
    if (!m_popover)
        return;
    // On Wayland the compositor places windows; elsewhere we do.
    if (isX11()) {
        anchorPopover();
        placePopover();
    }
    bringForward(m_popover);
}

void TarnlightApp::showPopoverAtStart()
{
    m_sinceStartShow.start();
    waitForTrayThenShow();
}

void TarnlightApp::waitForTrayThenShow()
{
    constexpr int kTrayWaitMs = 1000, kPollMs = 50;
    const bool placeKnown = m_tray && m_tray->geometry().isValid();
    if (placeKnown || !m_tray || !isX11() || m_sinceStartShow.elapsed() >= kTrayWaitMs) {
        showPopover();
        m_sinceStartShow.invalidate();
        return;
    }
    QTimer::singleShot(kPollMs, this, &TarnlightApp::waitForTrayThenShow);
}

void TarnlightApp::hidePopover()
{
    if (m_popover)
        m_popover->hide();
}

void TarnlightApp::anchorPopover()
{
    const QRect iconRect = m_tray ? m_tray->geometry() : QRect();
    if (iconRect.isValid()) {
        m_anchor = iconRect;
    } else if (m_sinceStartShow.isValid()) {
        // No click yet, so the pointer says nothing: where most panels keep their tray.
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        m_anchor = QRect(available.topRight(), QSize(1, 1));
    } else {
        m_anchor = QRect(QCursor::pos(), QSize(1, 1));
    }
}

void TarnlightApp::placePopover()
{
    QScreen *screen = QGuiApplication::screenAt(m_anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    m_popover->setScreen(screen);
    m_popover->setPosition(popoverPosition(m_anchor, m_popover->size(), screen->availableGeometry()));
}

void TarnlightApp::openSettings()
{
    openWindow(m_settings, QStringLiteral("SettingsWindow.qml"));
}

void TarnlightApp::openAbout()
{
    openWindow(m_about, QStringLiteral("AboutWindow.qml"));
}

void TarnlightApp::openWindow(QPointer<QQuickWindow> &slot, const QString &file)
{
    hidePopover();
    if (!slot) {
        slot = createWindow(file);
        if (!slot)
            return;
        // Closed means gone: reopening starts with fresh view state.
        connect(slot, &QQuickWindow::visibleChanged, slot, [window = slot.data()] {
            if (!window->isVisible())
                window->deleteLater();
        });
    }
    bringForward(slot);
}

void TarnlightApp::runAction(const QString &name)
{
    if (name == QLatin1String("show"))
        showPopover();
    else if (name == QLatin1String("settings"))
        openSettings();
    else if (name == QLatin1String("quit"))
        emit quitRequested();
}
