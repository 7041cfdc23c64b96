// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accounts/Account.h"

#include <QMenu>
#include <QObject>
#include <QRect>
#include <QSystemTrayIcon>

#include <memory>

// The tray icon: the "eye" symbol titled "Tarnlight". A left click asks for
// the popover; a right click shows the menu: the accounts with their unread
// counts, then open, settings, about and quit.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // Whether the desktop shows tray icons at all (a StatusNotifier watcher
    // or an XEmbed tray).
    static bool desktopHasTray();
    void show();
    // The icon's place on screen; empty where the desktop does not tell.
    QRect geometry() const;
    QMenu *menu() const { return m_menu.get(); }
    // The unread number drawn over the icon (the plain icon when empty) and
    // the tooltip beside it.
    void setUnread(const QString &badge, const QString &tooltip);
    QString badge() const { return m_badge; }
    QString toolTip() const { return m_icon.toolTip(); }
    // The menu's first entries, one per account: "alex@example.com — 3", or
    // the address alone while its count is not known.
    void setAccounts(const QList<QPair<Account, std::optional<int>>> &accounts);

signals:
    void toggleRequested();
    void accountChosen(const QString &accountID);
    void openRequested();
    void settingsRequested();
    void aboutRequested();
    void quitRequested();

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    std::unique_ptr<QMenu> m_menu;
    QList<QAction *> m_accountEntries; // with the separator after them
    QAction *m_firstFixedEntry = nullptr;
    QSystemTrayIcon m_icon;
    QString m_badge;
};
