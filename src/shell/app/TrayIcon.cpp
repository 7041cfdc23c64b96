// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/TrayIcon.h"

#include "support/AppId.h"

#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace {

// Tarnlight's own symbolic eye: from the icon theme where it is installed
// (the tray host may draw it in its own colours), otherwise the copy built into
// the binary in the desktop's text colour, so it stands out on a dark panel as
// well as on a light one.
QIcon eyeIcon()
{
    const QIcon themed = QIcon::fromTheme(support::AppId + QStringLiteral("-symbolic"));
    if (!themed.isNull())
        return themed;
    const QIcon bundled(QStringLiteral(":/icons/%1-symbolic.svg").arg(support::AppId));
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    QIcon tinted;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = bundled.pixmap(QSize(size, size));
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(pixmap.rect(), ink);
        painter.end();
        tinted.addPixmap(pixmap);
    }
    return tinted;
}

// The eye with a red pill in the lower right holding the number.
QIcon badgedIcon(const QString &badge)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = eyeIcon().pixmap(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QFont font;
        font.setBold(true);
        font.setPixelSize(qMax(7, size * 9 / 16));
        painter.setFont(font);
        const int height = font.pixelSize() + 2;
        const int width = qMin(size, qMax(height, painter.fontMetrics().horizontalAdvance(badge) + 4));
        const QRectF pill(size - width, size - height, width, height);
        QPainterPath path;
        path.addRoundedRect(pill, height / 2.0, height / 2.0);
        painter.fillPath(path, QColor(0xd9, 0x30, 0x25));
        painter.setPen(Qt::white);
        painter.drawText(pill, Qt::AlignCenter, badge);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), m_menu(std::make_unique<QMenu>())
{
    m_firstFixedEntry = m_menu->addAction(tr("Open Tarnlight"), this, &TrayIcon::openRequested);
    m_menu->addAction(tr("Settings…"), this, &TrayIcon::settingsRequested);
    m_menu->addAction(tr("About Tarnlight"), this, &TrayIcon::aboutRequested);
    m_menu->addSeparator();
    m_menu->addAction(tr("Quit"), this, &TrayIcon::quitRequested);

    m_icon.setIcon(eyeIcon());
    m_icon.setToolTip(QStringLiteral("Tarnlight"));
    m_icon.setContextMenu(m_menu.get());
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
}

TrayIcon::~TrayIcon()
{
    m_icon.hide();
}

bool TrayIcon::desktopHasTray()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show()
{
    m_icon.show();
}

QRect TrayIcon::geometry() const
{
    return m_icon.geometry();
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    // The context menu opens by itself on a right click.
    if (reason == QSystemTrayIcon::Trigger)
        emit toggleRequested();
}

void TrayIcon::setUnread(const QString &badge, const QString &tooltip)
{
    if (badge != m_badge) {
        m_badge = badge;
        m_icon.setIcon(badge.isEmpty() ? eyeIcon() : badgedIcon(badge));
    }
    m_icon.setToolTip(tooltip);
}

void TrayIcon::setAccounts(const QList<QPair<Account, std::optional<int>>> &accounts)
{
    qDeleteAll(m_accountEntries);
    m_accountEntries.clear();
    for (const auto &[account, count] : accounts) {
        QString text = account.email;
        // A menu reads "&" as the mark of a shortcut key.
        text.replace(u'&', QStringLiteral("&&"));
        if (count)
            text = tr("%1 — %2").arg(text, QString::number(*count));
        auto *entry = new QAction(text, m_menu.get());
        const QString id = account.id;
        connect(entry, &QAction::triggered, this, [this, id] { emit accountChosen(id); });
        m_accountEntries << entry;
    }
    if (!m_accountEntries.isEmpty()) {
        auto *separator = new QAction(m_menu.get());
        separator->setSeparator(true);
        m_accountEntries << separator;
    }
    m_menu->insertActions(m_firstFixedEntry, m_accountEntries);
}
