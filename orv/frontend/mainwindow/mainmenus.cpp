// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/mainmenus.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTreeView>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"

using orv::engine::ServerPage;

namespace orv::frontend {

MainMenus::MainMenus(TMainForm &form, orv::engine::QueryEngine &engine)
    : m_form(form)
    , m_engine(engine)
{
    auto act = [&form](MainAction command) { return form.action(command); };

    m_serversMenu = new QMenu(&form);
    m_serversMenu->setObjectName(QStringLiteral("ServersMenu"));
    m_serversMenu->addAction(act(MainAction::RefreshC));
    m_serversMenu->addAction(act(MainAction::UnrealviaNet));
    m_serversMenu->addAction(act(MainAction::UnrealviaNetandINI));
    m_presetMenu = m_serversMenu->addMenu(QStringLiteral("Unreal via Net + Preset"));
    m_presetMenu->setToolTip(QStringLiteral("Run game via Network with different player preset file"));
    m_serversMenu->addAction(act(MainAction::RepeatSelected));
    m_serversMenu->addSeparator();
    m_serversMenu->addAction(act(MainAction::AddToFavorites));
    m_serversMenu->addAction(act(MainAction::DelFromFavorites));
    m_byPingMenu = m_serversMenu->addMenu(QStringLiteral("Add to Favorites by Ping"));
    m_byPingMenu->addAction(act(MainAction::GoodPing));
    m_byPingMenu->addAction(act(MainAction::NormalPing));
    m_byPingMenu->addAction(act(MainAction::Badping));
    m_serversMenu->addAction(act(MainAction::AddCustomToFavorites));
    m_serversMenu->addAction(act(MainAction::ClearFavorites));
    m_serversMenu->addSeparator();
    m_serversMenu->addAction(act(MainAction::AdminMail));
    m_serversMenu->addAction(act(MainAction::GotoAddress));
    m_serversMenu->addSeparator();
    m_serversMenu->addAction(act(MainAction::ToClipboard));
    m_serversMenu->addAction(act(MainAction::ToClipboardUURL));
    m_serversMenu->addAction(act(MainAction::ShortCut));
    m_serversMenu->addSeparator();
    m_columnsMenu = m_serversMenu->addMenu(QStringLiteral("Show / hide columns"));
    QObject::connect(m_serversMenu, &QMenu::aboutToShow, &form, &TMainForm::prepareServersMenu);

    m_moreMenu = new QMenu(&form);
    m_moreMenu->setObjectName(QStringLiteral("MoreMenu"));
    QAction *restoreItem =
        m_moreMenu->addAction(QStringLiteral("Restore main window"), &form, &TMainForm::restoreFromTray);
    QAction *sep1 = m_moreMenu->addSeparator();
    const MainAction gameCommands[] = {MainAction::Unreal, MainAction::Server, MainAction::Safe, MainAction::Editor,
                                       MainAction::INIEd};
    QMenu *unreal = m_moreMenu->addMenu(QStringLiteral("Unreal"));
    QMenu *ut = m_moreMenu->addMenu(QStringLiteral("Unreal Tournament"));
    for (const MainAction command : gameCommands) {
        unreal->addAction(act(command));
        ut->addAction(act(command));
    }
    // The commands inside act for the game whose submenu is open.
    QObject::connect(unreal, &QMenu::aboutToShow, &form, [&form] { form.setGameSwitchUT(false); });
    QObject::connect(ut, &QMenu::aboutToShow, &form, [&form] { form.setGameSwitchUT(true); });
    QAction *sep2 = m_moreMenu->addSeparator();
    // The tray menu's own items for About and Exit: hiding them must not disable the
    // commands behind them, which the window's buttons share.
    QAction *aboutItem =
        m_moreMenu->addAction(act(MainAction::About)->text(), act(MainAction::About), &QAction::trigger);
    QAction *exitItem = m_moreMenu->addAction(act(MainAction::Exit)->text(), act(MainAction::Exit), &QAction::trigger);
    const QList<QAction *> trayOnlyItems = {restoreItem, sep1, sep2, aboutItem, exitItem};
    QObject::connect(m_moreMenu, &QMenu::aboutToShow, &form, [&form, items = trayOnlyItems] {
        const bool tray = form.isTrayActive();
        for (QAction *item : items)
            item->setVisible(tray);
    });
    for (QAction *item : trayOnlyItems)
        item->setVisible(false);

    m_playersMenu = new QMenu(&form);
    m_playersMenu->setObjectName(QStringLiteral("PlayersMenu"));
    m_playersMenu->addAction(act(MainAction::PNameToClipboard));

    m_repeaterMenu = new QMenu(&form);
    m_repeaterMenu->setObjectName(QStringLiteral("RepeaterMenu"));
    m_repeaterMenu->addAction(act(MainAction::RepeatSelected));
    m_repeaterMenu->addAction(act(MainAction::RepeatMultiple));
}

void MainMenus::prepareServersMenu()
{
    const ServerPage page = m_form.currentPage();
    m_byPingMenu->menuAction()->setVisible(page != ServerPage::Favorites);

    m_columnsMenu->clear();
    QTreeView *report = m_form.currentView()->report();
    for (int column = 0; column < orv::engine::kServerColumns; ++column) {
        QAction *item = m_columnsMenu->addAction(orv::engine::serverColumnCaption(column));
        item->setCheckable(true);
        const bool visible = report->header()->sectionSize(column) > 0;
        item->setChecked(visible);
        if (column == 0 && visible)
            item->setEnabled(false);
        TMainForm *form = &m_form;
        QObject::connect(item, &QAction::triggered, form, [form, column] { form->toggleColumn(column); });
    }

    const int row = m_form.currentView()->currentRow();
    const bool answered = row >= 0 && m_engine.view(page).row(row).isAnswered();
    m_presetMenu->setEnabled(answered && !m_presetMenu->isEmpty());
}

void MainMenus::fillPresets(const QStringList &presets, const QObject *receiver,
                            const std::function<void(const QString &)> &run)
{
    m_presetMenu->clear();
    for (const QString &nickname : presets) {
        QAction *item = m_presetMenu->addAction(nickname);
        QObject::connect(item, &QAction::triggered, receiver, [run, nickname] { run(nickname); });
    }
}

} // namespace orv::frontend
