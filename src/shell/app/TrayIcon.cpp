#include "shell/app/TrayIcon.h"

#include <QIcon>

namespace {

// The "eye" symbol: the desktop theme's icon, or our bundled one.
QIcon eyeIcon()
{
    return QIcon::fromTheme(QStringLiteral("view-reveal-symbolic"),
                            QIcon(QStringLiteral(":/qt/qml/Tarnlight/Ui/icons/eye.svg")));
}

} // namespace

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), m_menu(std::make_unique<QMenu>())
{
    m_menu->addAction(tr("Open Tarnlight"), this, &TrayIcon::openRequested);
    m_menu->addAction(tr("Settings…"), this, &TrayIcon::settingsRequested);
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
