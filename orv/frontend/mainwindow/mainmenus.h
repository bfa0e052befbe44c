// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QStringList>

class QMenu;
class QObject;

namespace orv::engine {
class QueryEngine;
}

namespace orv::frontend {

class TMainForm;

// The main window's pop-up menus over its commands: the servers menu (with the player
// presets, the by-ping and the columns submenus), the "More" menu that is also the tray's,
// the players menu and the checker's menu. The menus are children of the window.
class MainMenus
{
public:
    MainMenus(TMainForm &form, orv::engine::QueryEngine &engine);

    QMenu *servers() const { return m_serversMenu; }
    QMenu *more() const { return m_moreMenu; }
    QMenu *players() const { return m_playersMenu; }
    QMenu *repeater() const { return m_repeaterMenu; }
    // "Unreal via Net + Preset" of the servers menu.
    QMenu *presets() const { return m_presetMenu; }

    // Shapes the servers menu for the page and row shown: the by-ping submenu, the column
    // items and the presets submenu.
    void prepareServersMenu();
    // One item per player preset; choosing one runs the work with its name in the context
    // of the receiver.
    void fillPresets(const QStringList &presets, const QObject *receiver,
                     const std::function<void(const QString &)> &run);

private:
    TMainForm &m_form;
    orv::engine::QueryEngine &m_engine;
    QMenu *m_serversMenu = nullptr;
    QMenu *m_moreMenu = nullptr;
    QMenu *m_playersMenu = nullptr;
    QMenu *m_repeaterMenu = nullptr;
    QMenu *m_columnsMenu = nullptr;
    QMenu *m_byPingMenu = nullptr;
    QMenu *m_presetMenu = nullptr;
};

} // namespace orv::frontend
