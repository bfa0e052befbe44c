// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/enginetexts.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/textutil.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/formstorage/storedproperties.h"
#include "orv/frontend/mainwindow/debugform.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainactions.h"
#include "orv/frontend/mainwindow/mainmenus.h"
#include "orv/frontend/mainwindow/maintray.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "orv/words/rowwords.h"

using orv::engine::ServerPage;

namespace orv::frontend {

namespace {

// The views draw row pictures from the index the engine's models offer under this role.
static_assert(orv::engine::ServerListModel::IconIndexRole == ServerView::kIconIndexRole);
static_assert(PlayersModel::kIconIndexRole == ServerView::kIconIndexRole);

// Column 22 of a server row holds the admin's e-mail address.
constexpr int kColumnAdminEmail = 22;

const char *const kPageCaptions[] = {"Internet", "Local", "Favorites"};

} // namespace

QIcon TMainForm::noPlayerIcon(int)
{
    return {};
}

QString TMainForm::pageCaption(ServerPage page)
{
    return QString::fromLatin1(kPageCaptions[static_cast<int>(page)]);
}

QString TMainForm::captionFor(const QString &version)
{
    return version.isEmpty() ? QStringLiteral("Orvane") : QStringLiteral("Orvane v.") + version;
}

TMainForm::TMainForm(orv::engine::QueryEngine &engine, SoundBank &sounds, QWidget *parent)
    : QMainWindow(parent)
    , m_engine(engine)
    , m_sounds(sounds)
    , m_status(std::make_unique<MainStatus>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Orvane"));
    orv::words::wordRows(m_engine);
    setWindowIcon(IconProvider::programIcon());
    // The minimum is the whole window's, frame included; until the frame is known it counts
    // for the client area, which the first show corrects.
    setMinimumSize(kMinimumWindowSize);
    resize(kMinimumWindowSize);
    // Centred on the screen until the settings restore a stored placement.
    if (const QScreen *screen = this->screen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    // The two picture lists the views show their row icons from; the settings store
    // names them as the views' image lists.
    m_largeImages = new QObject(this);
    m_largeImages->setObjectName(QStringLiteral("ImageList1"));
    m_smallImages = new QObject(this);
    m_smallImages->setObjectName(QStringLiteral("ImageList2"));
    m_actions = createMainActions(this);
    addActions(commandActions());
    buildLayout();
    m_menus = std::make_unique<MainMenus>(*this, m_engine);
    wireActions();
    wireEngine();
    m_tray = std::make_unique<MainTray>(*this, m_menus->more());

    // Commands are enabled or disabled by rules looked at whenever the program is idle.
    m_idleTimer = new QTimer(this);
    m_idleTimer->setInterval(150);
    connect(m_idleTimer, &QTimer::timeout, this, &TMainForm::updateActions);
    m_idleTimer->start();

    m_autoOpenTimer = new QTimer(this);
    m_autoOpenTimer->setInterval(1000);
    connect(m_autoOpenTimer, &QTimer::timeout, this, &TMainForm::autoOpenTick);
    m_autoOpenTimer->start();

    m_pages->setCurrentIndex(0);
    m_engine.setCurrentPage(ServerPage::Internet);
    updateActions();
}

TMainForm::~TMainForm()
{
    // The settings storages save while the controls still exist.
    TFormStorage::formDestroying(this);
}

void TMainForm::setLogWindow(TDebugForm *log)
{
    m_log = log;
}

void TMainForm::setPlayerIcons(std::function<QIcon(int index)> icons)
{
    m_playerIcons = std::move(icons);
    m_playersView->setModel(m_players, m_playerIcons ? m_playerIcons : ServerView::IconSource(&noPlayerIcon));
}

void TMainForm::log(const QString &text)
{
    if (m_log)
        m_log->log(text);
}

QMenu *TMainForm::serversMenu() const
{
    return m_menus->servers();
}

QMenu *TMainForm::presetMenu() const
{
    return m_menus->presets();
}

void TMainForm::prepareServersMenu()
{
    m_menus->prepareServersMenu();
}

void TMainForm::fillPresetMenu(const QStringList &presets, const QObject *receiver,
                               const std::function<void(const QString &)> &run)
{
    m_menus->fillPresets(presets, receiver, run);
}

void TMainForm::toggleColumn(int column)
{
    QHeaderView *header = currentView()->report()->header();
    if (header->sectionSize(column) > 0)
        header->resizeSection(column, 0);
    else
        header->resizeSection(column, column == 0 ? 250 : 70);
}

void TMainForm::wireActions()
{
    auto on = [this](MainAction command, auto &&work) {
        connect(action(command), &QAction::triggered, this, std::forward<decltype(work)>(work));
    };
    on(MainAction::Internet, [this] {
        QAction *self = action(MainAction::Internet);
        if (currentPage() != ServerPage::Internet && m_engine.view(ServerPage::Internet).size() > 0) {
            m_pages->setCurrentIndex(0);
            return;
        }
        const auto open = [this] {
            m_pages->setCurrentIndex(0);
            changePage(ServerPage::Internet);
            m_engine.RebuildList(ServerPage::Internet);
        };
        if (!m_services) {
            open();
            return;
        }
        // The command stays off until the download is through; the window goes on working.
        self->setEnabled(false);
        const QPointer<TMainForm> form(this);
        m_services->buildInternetList([form, self, open](bool built) {
            if (!form)
                return;
            self->setEnabled(true);
            if (built)
                open();
        });
    });
    on(MainAction::Local, [this] {
        const auto open = [this] {
            m_pages->setCurrentIndex(1);
            changePage(ServerPage::Local);
            m_engine.RebuildList(ServerPage::Local);
        };
        if (!m_services) {
            open();
            return;
        }
        const QPointer<TMainForm> form(this);
        m_services->discoverLocal([form, open] {
            if (form)
                open();
        });
    });
    on(MainAction::Favorites, [this] {
        m_pages->setCurrentIndex(2);
        changePage(ServerPage::Favorites);
        if (m_services)
            m_services->showFavorites();
        else
            m_engine.RebuildList(ServerPage::Favorites);
    });
    on(MainAction::Refresh, [this] {
        // A checking run asks servers of this list one after another; a refresh then would
        // race it for the same servers. Stopping a running refresh is always allowed.
        if (m_engine.isCheckerRunning() && !m_engine.isRefreshActive()) {
            setStatusText(StatusPanel::Message, refreshRefusedDuringCheckText());
            log(refreshRefusedDuringCheckText());
            return;
        }
        m_engine.refreshAction();
    });
    on(MainAction::RefreshC, [this] { runOnCurrentRow([this](int row) { m_engine.RefreshSelected(row); }); });
    on(MainAction::Style, [this] { cycleViewStyle(); });
    on(MainAction::Log, [this] {
        if (!m_log)
            return;
        m_log->setVisible(!m_log->isVisible());
    });
    on(MainAction::Exit, [this] { close(); });
    on(MainAction::More, [] { QCoreApplication::processEvents(); });
    on(MainAction::Repeat, [] { QCoreApplication::processEvents(); });
    const std::pair<MainAction, BrowserWindow> windows[] = {
        {MainAction::About, BrowserWindow::About},
        {MainAction::GeneralOptions, BrowserWindow::GeneralOptions},
        {MainAction::UnrealOptions, BrowserWindow::UnrealOptions},
        {MainAction::INIEd, BrowserWindow::INIEditor},
        {MainAction::Clanes, BrowserWindow::Clans},
        {MainAction::Find, BrowserWindow::Find},
        {MainAction::Filter, BrowserWindow::Filter},
    };
    for (const auto &[command, shown] : windows) {
        on(command, [this, window = shown] {
            if (m_services)
                m_services->showWindow(window);
        });
    }
}

void TMainForm::wireEngine()
{
    connect(&m_engine, &orv::engine::QueryEngine::logLine, this, &TMainForm::log);
    connect(&m_engine, &orv::engine::QueryEngine::statusChanged, this, [this](const orv::engine::EngineStatus &status) {
        setStatusText(static_cast<StatusPanel>(status.panel()), engineStatusText(status));
    });
    connect(&m_engine, &orv::engine::QueryEngine::refreshRunningChanged, this,
            [this](bool running) { action(MainAction::Refresh)->setText(refreshCaption(running)); });
    connect(&m_engine, &orv::engine::QueryEngine::playersListCleared, m_players, &PlayersModel::clear);
    connect(&m_engine, &orv::engine::QueryEngine::playersListCleared, m_teamsLine, &QWidget::hide);
    connect(&m_engine, &orv::engine::QueryEngine::selectedServerRefreshed, this,
            [this] { showPlayersOf(currentView()->currentRow()); });
    connect(&m_engine, &orv::engine::QueryEngine::busyChanged, this, &TMainForm::setTrayBusy);
    connect(&m_engine, &orv::engine::QueryEngine::refreshProgress, this,
            [this](qsizetype position, qsizetype total) { setTrayHint(refreshTrayHint(position, total)); });
    connect(&m_engine, &orv::engine::QueryEngine::refreshPassEnded, this, [this] { setTrayHint(idleTrayHint()); });
    // A refresh that ends while the window sits in the tray is announced by a sound.
    connect(&m_engine, &orv::engine::QueryEngine::refreshRunFinished, this, [this] {
        if (isTrayActive() && m_services)
            m_sounds.playAndWait(m_services->refreshCompleteSound());
    });
}

void TMainForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized() && m_services && m_services->minimizeToTray())
        QTimer::singleShot(0, this, [this] { m_tray->toTray(m_engine.isRefreshActive()); });
    else if (!isMinimized() && isTrayActive())
        restoreFromTray();
}

ServerView *TMainForm::view(ServerPage page) const
{
    return m_views[static_cast<size_t>(page)];
}

ServerView *TMainForm::currentView() const
{
    return view(currentPage());
}

ServerPage TMainForm::currentPage() const
{
    return static_cast<ServerPage>(qBound(0, m_pages->currentIndex(), orv::engine::kServerPages - 1));
}

QString TMainForm::modeText() const
{
    return m_status->modeText();
}

QString TMainForm::statusText(StatusPanel panel) const
{
    return m_status->text(panel);
}

void TMainForm::setStatusText(StatusPanel panel, const QString &text)
{
    m_status->setText(panel, text);
}

bool TMainForm::isTrayActive() const
{
    return m_tray->isActive();
}

void TMainForm::setTrayBusy(bool busy)
{
    m_tray->setBusy(busy);
}

void TMainForm::setTrayHint(const QString &hint)
{
    m_tray->setHint(hint);
}

void TMainForm::restoreFromTray()
{
    m_tray->restore();
}

bool TMainForm::event(QEvent *event)
{
    // A hovered menu item's hint goes to the message panel alone, so the refresh progress
    // stays in sight; the message comes back when the menu closes.
    if (event->type() == QEvent::StatusTip) {
        m_status->showTip(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    // The window manager tells the frame's size some time after the window shows.
    if (event->type() == QEvent::Move && isVisible() && frameGeometry().size() - size() != m_fittedFrame)
        QTimer::singleShot(0, this, &TMainForm::fitFrameToScreen);
    return QMainWindow::event(event);
}

void TMainForm::changePage(ServerPage page)
{
    // Showing another page stops a refresh before its next server.
    m_engine.stopRefresh();
    if (QAction *reset = action(MainAction::ResetFilter); reset->isEnabled())
        reset->trigger();
    m_players->clear();
    if (m_pages->currentIndex() != static_cast<int>(page))
        m_pages->setCurrentIndex(static_cast<int>(page));
    m_engine.setCurrentPage(page);
    m_status->setModeText(pageCaption(page));
    emit pageChanged(page);
}

void TMainForm::columnClicked(int column)
{
    const ServerPage page = currentPage();
    const Qt::SortOrder order =
        m_engine.sortOrder(page) == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    currentView()->setTag(column);
    m_engine.sortBy(page, column, order);
    currentView()->header()->setMarker(column, order == Qt::AscendingOrder ? IconProvider::kAscendingMarker
                                                                           : IconProvider::kDescendingMarker);
}

void TMainForm::setSmallImages(bool small)
{
    // The views' small-image slot names the picture list it shows, as the settings keep it.
    for (ServerView *v : m_views) {
        v->setIconSize(small ? 16 : 32, 32);
        setComponentReference(v, "SmallImages", small ? m_smallImages : m_largeImages);
    }
}

void TMainForm::setServersListFont(const QFont &font)
{
    for (ServerView *v : m_views)
        v->setFont(font);
}

QFont TMainForm::serversListFont() const
{
    return currentView()->font();
}

void TMainForm::setPlayersListFont(const QFont &font)
{
    m_playersView->setFont(font);
}

QFont TMainForm::playersListFont() const
{
    return m_playersView->font();
}

void TMainForm::setCommandEnabled(MainAction command, bool enabled)
{
    action(command)->setEnabled(enabled);
}

void TMainForm::triggerCommand(MainAction command)
{
    action(command)->trigger();
}

void TMainForm::clickCommand(MainAction command)
{
    if (QPushButton *button = commandButton(command))
        button->click();
    else
        triggerCommand(command);
}

int TMainForm::currentRow(ServerPage page) const
{
    return view(page)->currentRow();
}

int TMainForm::currentRow() const
{
    return currentView()->currentRow();
}

void TMainForm::selectRow(ServerPage page, int row)
{
    view(page)->selectRow(row);
}

void TMainForm::clearPlayers()
{
    m_players->clear();
}

int TMainForm::findPlayer(const QString &name) const
{
    for (int p = 0; p < m_players->rowCount(); ++p) {
        if (m_players->row(p).caption.compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    return -1;
}

void TMainForm::selectPlayer(int row)
{
    m_playersView->setFocus();
    m_playersView->selectRow(row);
}

std::optional<QString> TMainForm::currentPlayerName() const
{
    const int player = m_playersView->currentRow();
    if (player < 0 || player >= m_players->rowCount())
        return std::nullopt;
    return m_players->row(player).caption;
}

void TMainForm::applyStoredSortColumns()
{
    for (int page = 0; page < orv::engine::kServerPages; ++page) {
        const auto p = static_cast<ServerPage>(page);
        ServerView *v = m_views[static_cast<size_t>(page)];
        if (v->tag() >= 0 && v->tag() < orv::engine::kServerColumns)
            m_engine.setSortColumn(p, v->tag());
        v->header()->setMarker(m_engine.sortColumn(p), m_engine.sortOrder(p) == Qt::AscendingOrder
                                                           ? IconProvider::kAscendingMarker
                                                           : IconProvider::kDescendingMarker);
    }
}

void TMainForm::cycleViewStyle()
{
    ServerView *current = currentView();
    const ViewStyle c = current->viewStyle();
    const ViewStyle p = m_playersView->viewStyle();
    if (c == ViewStyle::Report && p == ViewStyle::Report) {
        current->setViewStyle(ViewStyle::Icon);
        m_playersView->setViewStyle(ViewStyle::Icon);
    } else if (c == ViewStyle::Icon && p == ViewStyle::Icon) {
        current->setViewStyle(ViewStyle::Report);
    } else if (c == ViewStyle::Report && p == ViewStyle::Icon) {
        m_playersView->setViewStyle(ViewStyle::Report);
    }
}

void TMainForm::selectionChanged(ServerPage page)
{
    if (page != currentPage())
        return;
    m_players->clear();
    m_teamsLine->hide();
    const int row = view(page)->currentRow();
    if (row < 0)
        return;
    showPlayersOf(row);
    m_players->sortByFrags();
}

void TMainForm::showPlayersOf(int row)
{
    const ServerPage page = currentPage();
    const orv::engine::ServerListModel &model = m_engine.view(page);
    if (row < 0 || row >= model.size()) {
        m_players->clear();
        return;
    }
    const orv::engine::ServerEntry &entry = model.row(row);
    // A row whose line names no server never has an answer: it shows the empty record.
    const orv::engine::AddressWords words = entry.words();
    const orv::engine::ServerInfo info =
        entry.address ? m_engine.DecodeServerInfo(*entry.address)
                      : orv::engine::ServerInfo::defaults(words.address, words.gamePort, words.queryPort);
    PlayersModel::SkinLookup lookup;
    if (m_services) {
        lookup = [this](const orv::engine::ServerInfo &server, const orv::engine::PlayerEntry &player) {
            return m_services->playerIcon(server, player);
        };
    }
    m_players->showPlayers(info, lookup);
    showTeams(info);
}

void TMainForm::showTeams(const orv::engine::ServerInfo &info)
{
    static const char *const kTeamColours[] = {"#d03030", "#3060d0", "#30a040", "#c09020"};
    QStringList parts;
    const auto teams = orv::engine::listedTeams(info);
    for (size_t i = 0; i < teams.size(); ++i) {
        const orv::engine::TeamEntry &team = teams[i];
        const auto score = orv::engine::teamScoreValue(team.score);
        QString part = QStringLiteral("<span style=\"color:%1\">&#9632;</span> <b>%2</b> %3")
                           .arg(QLatin1String(i < 4 ? kTeamColours[i] : "#808080"),
                                (team.name.isEmpty() ? QStringLiteral("Team %1").arg(i) : team.name).toHtmlEscaped(),
                                score ? QString::number(*score, 'g', 12) : QStringLiteral("-"));
        if (!team.size.isEmpty())
            part += QStringLiteral(" (%1)").arg(team.size.toHtmlEscaped());
        parts.append(part);
    }
    m_teamsLine->setText(parts.join(QStringLiteral(" &nbsp;&nbsp; ")));
    m_teamsLine->setVisible(!parts.isEmpty());
}

void TMainForm::runOnCurrentRow(const std::function<void(int)> &work)
{
    const int row = currentView()->currentRow();
    if (row >= 0)
        work(row);
}

void TMainForm::updateActions()
{
    const ServerPage page = currentPage();
    const orv::engine::ServerListModel *model = &m_engine.view(page);
    const int row = currentView()->currentRow();
    const bool hasRow = row >= 0 && row < model->size();
    const bool hasRows = model->size() > 0;
    const bool refreshing = m_engine.isRefreshActive();
    const bool hidden = !m_engine.hiddenRows().empty();
    const orv::engine::ServerEntry *entry = hasRow ? &model->row(row) : nullptr;
    auto usable = [](const QString &text) { return !text.isEmpty() && text != QLatin1String("N/A"); };
    auto set = [this](MainAction command, bool enabled) { action(command)->setEnabled(enabled); };
    auto show = [this](MainAction command, bool visible) { action(command)->setVisible(visible); };
    const bool answered = entry && entry->isAnswered();
    set(MainAction::RefreshC, hasRow);
    set(MainAction::UnrealviaNet, answered);
    set(MainAction::UnrealviaNetandINI, answered);
    set(MainAction::Find, hasRows);
    set(MainAction::Filter, !refreshing && (hasRows || hidden));
    set(MainAction::Repeat, hasRows && !refreshing);
    show(MainAction::AddToFavorites, hasRow && page != ServerPage::Favorites && entry->icon < 5);
    show(MainAction::DelFromFavorites, hasRow && (page == ServerPage::Favorites || entry->icon > 4));
    show(MainAction::ClearFavorites, page == ServerPage::Favorites);
    set(MainAction::AdminMail, entry && usable(entry->column(kColumnAdminEmail)));
    set(MainAction::GotoAddress, entry && usable(entry->column(orv::engine::kColumnAddress)));
    set(MainAction::ToClipboard, hasRow);
    set(MainAction::ToClipboardUURL, hasRow);
    set(MainAction::GoodPing, hasRows);
    set(MainAction::NormalPing, hasRows);
    set(MainAction::Badping, hasRows);
    set(MainAction::ResetFilter, hidden);
    const int player = m_playersView->currentRow();
    set(MainAction::PNameToClipboard,
        player >= 0 && m_players->row(player).caption != QLatin1String("Information not complete."));
    set(MainAction::RepeatSelected, entry && usable(entry->column(orv::engine::kColumnAddress)) && !refreshing);
    set(MainAction::RepeatMultiple, model->size() >= 2 && !refreshing);
    set(MainAction::ShortCut, entry && usable(entry->column(orv::engine::kColumnAddress)) && usable(entry->column(2)));
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        QTimer::singleShot(0, this, &TMainForm::firstShow);
    }
    // The frame is known once the window shows: the minimum counts for the whole window.
    QTimer::singleShot(0, this, &TMainForm::fitFrameToScreen);
}

void TMainForm::fitFrameToScreen()
{
    const QSize frameExtra = frameGeometry().size() - size();
    m_fittedFrame = frameExtra;
    setMinimumSize((kMinimumWindowSize - frameExtra).expandedTo(QSize(0, 0)));
    const QScreen *screen = this->screen();
    if (!screen || isMaximized() || isFullScreen())
        return;
    const QRect available = screen->availableGeometry();
    QRect frame = frameGeometry();
    if (available.contains(frame))
        return;
    resize(size().boundedTo(available.size() - frameExtra).expandedTo(minimumSize()));
    frame = frameGeometry();
    frame.moveLeft(
        qBound(available.left(), frame.left(), qMax(available.left(), available.right() - frame.width() + 1)));
    frame.moveTop(qBound(available.top(), frame.top(), qMax(available.top(), available.bottom() - frame.height() + 1)));
    move(frame.topLeft());
}

void TMainForm::firstShow()
{
    setWindowTitle(captionFor(QCoreApplication::applicationVersion()));
    if (m_firstRun && m_services) {
        QMessageBox::information(this, QStringLiteral("Orvane"),
                                 QStringLiteral("It is your first run! You need to set some options!"));
        m_services->firstRun();
    }
    if (m_services)
        m_services->loadOtherSettings();
    m_engine.sortView(currentPage());
}

void TMainForm::autoOpenTick()
{
    if (!m_autoOpenPending)
        return;
    m_autoOpenTimer->stop();
    m_autoOpenPending = false;
    switch (m_services ? m_services->autoOpenChoice() : AutoOpen::Nothing) {
    case AutoOpen::Internet:
        action(MainAction::Internet)->trigger();
        break;
    case AutoOpen::Local:
        action(MainAction::Local)->trigger();
        break;
    case AutoOpen::Favorites:
        action(MainAction::Favorites)->trigger();
        break;
    case AutoOpen::Nothing:
        break;
    }
}

void TMainForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // A running refresh stops at once: nothing of it is left in flight to wait for.
    if (m_engine.isRefreshActive())
        m_engine.requestClose();
    if (m_exitSoundPending && !m_tray->areBothShown()) {
        m_exitSoundPending = false;
        if (m_services)
            m_sounds.playAndWait(m_services->exitSound());
    }
    m_tray->hideIcons();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        QApplication::closeAllWindows();
        emit closed();
    }
}

} // namespace orv::frontend
