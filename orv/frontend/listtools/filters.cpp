// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/listtools/filters.h"

#include <QAction>
#include <QMenu>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/splashform.h"

using orv::engine::ServerPage;

namespace orv::frontend {

using namespace orv::core;

namespace {

// Moving the bar for every row would cost more than the pass itself.
constexpr int kProgressStep = 512;

// Menu captions are shown as they are: '&' is no accelerator marker here.
QString menuCaption(const QString &text)
{
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

Filters::Filters(TMainForm &form, orv::engine::QueryEngine &engine, TBuldingListForm *progress, QObject *parent)
    : QObject(parent ? parent : &form)
    , m_form(form)
    , m_engine(engine)
    , m_progress(progress)
{
    m_reiterative = new QAction(QStringLiteral("Reiterative filter"), &form);
    m_reiterative->setObjectName(QStringLiteral("Reiterativefilter1"));
    m_reiterative->setCheckable(true);
    m_reiterative->setChecked(true);

    m_menu = new QMenu(&form);
    m_menu->setObjectName(QStringLiteral("FilterMenu"));
    auto act = [&form](MainAction command) { return form.action(command); };
    m_menu->addAction(act(MainAction::FilterUnreal));
    m_menu->addAction(act(MainAction::FilterUnrealTournamet));
    m_menu->addSeparator();
    m_menu->addAction(act(MainAction::Aliveplayers));
    m_mapMenu = m_menu->addMenu(QStringLiteral("Map"));
    m_mapMenu->setObjectName(QStringLiteral("MapMenu"));
    m_gameTypeMenu = m_menu->addMenu(QStringLiteral("Game type"));
    m_gameTypeMenu->setObjectName(QStringLiteral("GameTypeMenu"));
    m_countryMenu = m_menu->addMenu(QStringLiteral("Country"));
    m_countryMenu->setObjectName(QStringLiteral("CountryMenu"));
    m_menu->addSeparator();
    m_menu->addAction(m_reiterative);
    m_menu->addAction(act(MainAction::ResetFilter));

    form.onCommand(MainAction::FilterUnreal, this, [this] { filterGame(false); });
    form.onCommand(MainAction::FilterUnrealTournamet, this, [this] { filterGame(true); });
    form.onCommand(MainAction::Aliveplayers, this, [this] { filterPlayersPresent(); });
    form.onCommand(MainAction::ResetFilter, this, [this] { resetFilter(); });

    // The game filters keep their shortcuts, so their state follows the lists at all times.
    for (int page = 0; page < orv::engine::kServerPages; ++page) {
        const QAbstractItemModel *view = &m_engine.view(static_cast<ServerPage>(page));
        connect(view, &QAbstractItemModel::modelReset, this, &Filters::updateActions);
        connect(view, &QAbstractItemModel::rowsInserted, this, &Filters::updateActions);
        connect(view, &QAbstractItemModel::rowsRemoved, this, &Filters::updateActions);
    }
    connect(&form, &TMainForm::pageChanged, this, &Filters::updateActions);
    connect(m_reiterative, &QAction::toggled, this, &Filters::updateActions);
    updateActions();
}

void Filters::setProgressWindow(TBuldingListForm *progress)
{
    m_progress = progress;
}

bool Filters::isReiterative() const
{
    return m_reiterative->isChecked();
}

bool Filters::valueFiltersEnabled() const
{
    const int rows = m_engine.currentView().size();
    if (isReiterative())
        return rows > 1;
    return rows > 1 || !m_engine.hiddenRows().empty();
}

void Filters::updateActions()
{
    const bool enabled = valueFiltersEnabled();
    for (const MainAction command : {MainAction::FilterUnreal, MainAction::FilterUnrealTournamet})
        m_form.setCommandEnabled(command, enabled);
}

void Filters::prepareMenu()
{
    const bool enabled = valueFiltersEnabled();
    updateActions();
    m_form.setCommandEnabled(MainAction::Aliveplayers, enabled);
    m_mapMenu->menuAction()->setEnabled(enabled);
    m_gameTypeMenu->menuAction()->setEnabled(enabled);
    m_countryMenu->menuAction()->setEnabled(enabled && !m_countryMenu->isEmpty());
    m_form.setCommandEnabled(MainAction::ResetFilter, !m_engine.hiddenRows().empty());
}

void Filters::openMenu(const QPoint &globalPos)
{
    // Without the mark and with rows hidden, the menus keep the values of the full list.
    if (m_engine.hiddenRows().empty() || isReiterative()) {
        fillValueMenu(m_mapMenu, kFilterColumnMap);
        fillValueMenu(m_gameTypeMenu, kFilterColumnGameType);
        fillValueMenu(m_countryMenu, orv::engine::kColumnCountry);
    }
    prepareMenu();
    m_menu->popup(globalPos);
}

void Filters::fillValueMenu(QMenu *menu, int column)
{
    menu->clear();
    const QIcon icon = IconProvider::rowIcon(4);
    for (const QString &value : distinctColumnValues(m_engine.currentView().rows(), column)) {
        QAction *item = menu->addAction(icon, menuCaption(value));
        item->setData(value);
        connect(item, &QAction::triggered, this, [this, column, value] { filterValue(column, value); });
    }
}

void Filters::filterGame(bool unrealTournament)
{
    const orv::engine::EngineOptions &options = m_engine.options();
    runPass(RowFilter::game(unrealTournament ? options.beaconSign2 : options.beaconSign1));
}

void Filters::filterPlayersPresent()
{
    runPass(RowFilter::playersPresent());
}

void Filters::filterValue(int column, const QString &value)
{
    runPass(RowFilter::value(column, value));
}

void Filters::runPass(const RowFilter &filter)
{
    if (!isReiterative())
        resetFilter();
    // Rows hidden on another page go back there before this page is filtered.
    if (!m_engine.hiddenRows().empty() && m_hiddenPage != m_engine.currentPage())
        resetFilter();

    const ServerPage page = m_engine.currentPage();
    const std::optional<orv::engine::ServerEntry> selected = selectedServer(page);
    if (m_progress)
        m_progress->start(m_engine.view(page).size() - 1);
    const FilterProgress progress = [this](int position) {
        if (m_progress && position % kProgressStep == 0)
            m_progress->setPosition(position);
    };
    const int moved = m_engine.moveHiddenRows(
        page, [&](std::vector<orv::engine::ServerEntry> &rows, std::vector<orv::engine::ServerEntry> &hidden) {
            return filterRows(rows, hidden, filter, progress);
        });
    if (m_progress)
        m_progress->finish();
    if (moved > 0) {
        m_hiddenPage = page;
        reselect(page, selected);
    }
    updateActions();
    m_form.updateActions();
}

void Filters::resetFilter()
{
    if (m_engine.hiddenRows().empty())
        return;
    const ServerPage page = m_hiddenPage;
    const std::optional<orv::engine::ServerEntry> selected = selectedServer(page);
    if (m_progress)
        m_progress->start(static_cast<int>(m_engine.hiddenRows().size()) - 1);
    const FilterProgress progress = [this](int position) {
        if (m_progress && position % kProgressStep == 0)
            m_progress->setPosition(position);
    };
    m_engine.moveHiddenRows(
        page, [&](std::vector<orv::engine::ServerEntry> &rows, std::vector<orv::engine::ServerEntry> &hidden) {
            return restoreRows(rows, hidden, progress);
        });
    if (m_progress)
        m_progress->finish();
    reselect(page, selected);
    updateActions();
    m_form.updateActions();
}

std::optional<orv::engine::ServerEntry> Filters::selectedServer(ServerPage page) const
{
    const orv::engine::ServerListModel *view = &m_engine.view(page);
    const int row = m_form.currentRow(page);
    if (row < 0 || row >= view->size())
        return std::nullopt;
    return view->row(row);
}

void Filters::reselect(ServerPage page, const std::optional<orv::engine::ServerEntry> &server)
{
    // The view was refilled in one step, which drops its selection: the selected server
    // stays selected while it is shown, and its players go when it is not.
    if (!server)
        return;
    const auto row = m_engine.view(page).FindRowOf(*server);
    if (row)
        m_form.selectRow(page, *row);
    else if (page == m_form.currentPage())
        m_form.clearPlayers();
}

} // namespace orv::frontend
