// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>

#include <functional>

// One notice for the desktop's notification service. Summary and body are
// plain text, whoever wrote them.
struct DesktopNotice
{
    QString summary;
    QString body;
    // (key, label) in the order the server should show them; the key
    // "default" is a click on the notice itself.
    QList<QPair<QString, QString>> actions;
    QString category; // empty = none
    // Runs with the key of an action the user chose on this notice.
    std::function<void(const QString &action)> onAction;
    // Runs once the server took the notice.
    std::function<void()> onShown;
};

// The session bus's org.freedesktop.Notifications: asks once what the server
// renders (notices wait for the answer), escapes the body where the server
// reads markup, and passes the user's actions on to the notice they belong to.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    static inline const QString DefaultAction = QStringLiteral("default");

    explicit DesktopNotifications(QObject *parent = nullptr);

    void send(const DesktopNotice &notice);
    // The three characters notification markup gives meaning to, escaped.
    static QString escapeMarkup(const QString &text);

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    enum class Capabilities {
        Unknown,
        Asking,
        Known
    };

    void askCapabilities();
    void notify(const DesktopNotice &notice);

    Capabilities m_capabilities = Capabilities::Unknown;
    bool m_bodyMarkup = false;
    QList<DesktopNotice> m_waiting;
    // The notices still on screen, by the server's id.
    QHash<uint, std::function<void(const QString &)>> m_shown;
};
