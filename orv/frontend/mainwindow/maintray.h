// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QMenu;
class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace orv::frontend {

// The main window's two tray icons: the idle one, and the busy one shown instead while a
// refresh runs. Both animate while the engine or the checker is busy, carry the run's hint
// and the window's menu, and bring the window back when clicked. The icons and their
// timers are children of the window.
class MainTray
{
public:
    MainTray(QWidget &window, QMenu *menu);

    // The busy animation and the hint, for the engine's and the checker's runs.
    void setBusy(bool busy);
    void setHint(const QString &hint);
    // Whether the window sits in the tray (one of the icons shows).
    bool isActive() const;
    bool areBothShown() const;
    // Hides the window behind the icon for its state, where the desktop has a tray.
    void toTray(bool refreshing);
    // Hides the icons and shows the window again in front.
    void restore();
    void hideIcons();

private:
    QWidget &m_window;
    QSystemTrayIcon *m_tray = nullptr;
    QSystemTrayIcon *m_tray2 = nullptr;
    QTimer *m_trayTimer = nullptr;
    QTimer *m_tray2Timer = nullptr;
    int m_trayFrame = 0;
    int m_tray2Frame = 0;
};

} // namespace orv::frontend
