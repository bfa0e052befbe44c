// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/maintray.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "orv/frontend/mainwindow/enginetexts.h"
#include "orv/frontend/mainwindow/iconprovider.h"

namespace orv::frontend {

MainTray::MainTray(QWidget &window, QMenu *menu)
    : m_window(window)
{
    m_tray = new QSystemTrayIcon(IconProvider::trayFrames(false).constFirst(), &m_window);
    m_tray2 = new QSystemTrayIcon(IconProvider::trayFrames(true).constFirst(), &m_window);
    m_tray->setObjectName(QStringLiteral("Tray"));
    m_tray2->setObjectName(QStringLiteral("Tray2"));
    m_tray->setToolTip(idleTrayHint());
    m_tray2->setToolTip(idleTrayHint());
    m_tray->setContextMenu(menu);
    m_tray2->setContextMenu(menu);
    for (QSystemTrayIcon *icon : {m_tray, m_tray2}) {
        QObject::connect(icon, &QSystemTrayIcon::activated, &m_window,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                                 restore();
                         });
    }
    m_trayTimer = new QTimer(&m_window);
    m_trayTimer->setInterval(120);
    m_tray2Timer = new QTimer(&m_window);
    m_tray2Timer->setInterval(70);
    QObject::connect(m_trayTimer, &QTimer::timeout, &m_window, [this] {
        static const QList<QIcon> frames = IconProvider::trayFrames(false);
        m_trayFrame = (m_trayFrame + 1) % static_cast<int>(frames.size());
        m_tray->setIcon(frames[m_trayFrame]);
    });
    QObject::connect(m_tray2Timer, &QTimer::timeout, &m_window, [this] {
        static const QList<QIcon> frames = IconProvider::trayFrames(true);
        m_tray2Frame = (m_tray2Frame + 1) % static_cast<int>(frames.size());
        m_tray2->setIcon(frames[m_tray2Frame]);
    });
}

void MainTray::setBusy(bool busy)
{
    if (busy) {
        m_trayTimer->start();
        m_tray2Timer->start();
    } else {
        m_trayTimer->stop();
        m_tray2Timer->stop();
    }
}

void MainTray::setHint(const QString &hint)
{
    m_tray->setToolTip(hint);
    m_tray2->setToolTip(hint);
}

bool MainTray::isActive() const
{
    return m_tray->isVisible() || m_tray2->isVisible();
}

bool MainTray::areBothShown() const
{
    return m_tray->isVisible() && m_tray2->isVisible();
}

void MainTray::toTray(bool refreshing)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    (refreshing ? m_tray2 : m_tray)->show();
    m_window.hide();
}

void MainTray::restore()
{
    hideIcons();
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

void MainTray::hideIcons()
{
    m_tray->hide();
    m_tray2->hide();
}

} // namespace orv::frontend
