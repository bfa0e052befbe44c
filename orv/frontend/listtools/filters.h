// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>

#include "orv/core/rowfilter.h"
#include "orv/engine/serverlist.h"

class QAction;
class QMenu;
class QPoint;

namespace orv::engine {
class QueryEngine;
}

namespace orv::frontend {

class TBuldingListForm;
class TMainForm;

// The main window's filters: FilterMenu with the game, players and value filters, the
// "Reiterative filter" mark and the reset. A filter moves the rows it does not keep from
// the current view into the engine's hidden rows; the reset moves them back.
//
// The "Reiterativefilter1" action is made a child of the form so that the form's settings
// storage finds it: create this object before the storage's properties are set.
class Filters : public QObject
{
    Q_OBJECT

public:
    Filters(TMainForm &form, orv::engine::QueryEngine &engine, TBuldingListForm *progress, QObject *parent = nullptr);

    // The progress window may be made after this object (it is made after the form's
    // settings storage, which must find the "Reiterativefilter1" action).
    void setProgressWindow(TBuldingListForm *progress);

    QMenu *menu() const { return m_menu; }
    QMenu *mapMenu() const { return m_mapMenu; }
    QMenu *gameTypeMenu() const { return m_gameTypeMenu; }
    QAction *reiterativeAction() const { return m_reiterative; }
    bool isReiterative() const;

    // "Filter": refreshes the value menus when they may change, then opens the menu.
    void openMenu(const QPoint &globalPos);
    // The menu's state as it opens: value menus and the enabled items.
    void prepareMenu();
    void updateActions();

    void filterGame(bool unrealTournament);
    void filterPlayersPresent();
    void filterValue(int column, const QString &value);
    void resetFilter();
    // The page whose rows are hidden now.
    orv::engine::ServerPage hiddenPage() const { return m_hiddenPage; }

private:
    void runPass(const orv::core::RowFilter &filter);
    std::optional<orv::engine::ServerEntry> selectedServer(orv::engine::ServerPage page) const;
    void reselect(orv::engine::ServerPage page, const std::optional<orv::engine::ServerEntry> &server);
    void fillValueMenu(QMenu *menu, int column);
    bool valueFiltersEnabled() const;

    TMainForm &m_form;
    orv::engine::QueryEngine &m_engine;
    QPointer<TBuldingListForm> m_progress;
    QMenu *m_menu = nullptr;
    QMenu *m_mapMenu = nullptr;
    QMenu *m_gameTypeMenu = nullptr;
    QMenu *m_countryMenu = nullptr;
    QAction *m_reiterative = nullptr;
    orv::engine::ServerPage m_hiddenPage = orv::engine::ServerPage::Internet;
};

} // namespace orv::frontend
