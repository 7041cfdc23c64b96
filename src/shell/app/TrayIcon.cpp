#include "shell/app/TrayIcon.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPalette>

namespace {

// The "eye" symbol: the desktop theme's icon (which the tray host may draw in
// its own colours), or our bundled one in the desktop's text colour, so it
// stands out on a dark panel as well as on a light one.
QIcon eyeIcon()
{
    const QIcon themed = QIcon::fromTheme(QStringLiteral("view-reveal-symbolic"));
    if (!themed.isNull())
        return themed;
    const QIcon bundled(QStringLiteral(":/qt/qml/Tarnlight/Ui/icons/eye.svg"));
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
