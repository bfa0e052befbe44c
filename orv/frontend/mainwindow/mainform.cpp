// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/enginetexts.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/textutil.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/formstorage/storedproperties.h"
#include "orv/frontend/mainwindow/debugform.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainactions.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"

using orv::engine::ServerPage;

namespace orv::frontend {

namespace {

// The views draw row pictures from the index the engine's models offer under this role.
static_assert(orv::engine::ServerListModel::IconIndexRole == ServerView::kIconIndexRole);
static_assert(PlayersModel::kIconIndexRole == ServerView::kIconIndexRole);

// Column 22 of a server row holds the admin's e-mail address.
constexpr int kColumnAdminEmail = 22;

constexpr int kServerColumnWidths[orv::engine::kServerColumns] = {200, 70, 70, 70, 70, 0, 70, 70, 70, 0, 0, 0, 70,
                                                                  0,   0,  0,  0,  0,  0, 0,  0,  0,  0, 0, 0, 0};

QIcon iconOfRow(int index)
{
    return IconProvider::rowIcon(index);
}

QIcon noPlayerIcon(int)
{
    return {};
}

const char *const kPageCaptions[] = {"Internet", "Local", "Favorites"};

} // namespace

QString TMainForm::captionFor(const QString &version)
{
    return version.isEmpty() ? QStringLiteral("Orvane") : QStringLiteral("Orvane v.") + version;
}

TMainForm::TMainForm(orv::engine::QueryEngine &engine, SoundBank &sounds, QWidget *parent)
    : QMainWindow(parent)
    , m_engine(engine)
    , m_sounds(sounds)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowIcon(IconProvider::programIcon());
    setMinimumSize(800, 580);
    resize(800, 580);
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
    buildMenus();
    wireActions();
    wireEngine();
    setupTray();

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

QPushButton *TMainForm::makeCommandButton(QWidget *parent, MainAction command, const QString &clickSound,
                                          const QSize &size)
{
    QAction *action = this->action(command);
    auto *button = new QPushButton(action->text(), parent);
    button->setObjectName(action->objectName() + QStringLiteral("Button"));
    m_buttons[static_cast<size_t>(command)] = button;
    button->setFixedSize(size);
    button->setToolTip(action->toolTip());
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, action, clickSound] {
        if (!clickSound.isEmpty())
            m_sounds.click(clickSound);
        action->trigger();
    });
    connect(action, &QAction::changed, button, [button, action] {
        button->setEnabled(action->isEnabled());
        button->setText(action->text());
    });
    button->setEnabled(action->isEnabled());
    return button;
}

void TMainForm::buildLayout()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("Central"));
    setCentralWidget(central);

    setStyleSheet(QStringLiteral(
        "QMainWindow, #Central { background: black; }"
        "#TopBar, #LeftColumn { background-image: url(:/icons/panel-tile.svg); }"
        "#TopBar QPushButton, #LeftColumn QPushButton {"
        "  background: #1f1f1f; color: white; border: 1px solid #3c3c3c; border-radius: 3px; padding: 0 2px;"
        "  font-size: 8pt; }"
        "#TopBar QPushButton { font-size: 7pt; }"
        "#TopBar QPushButton:hover, #LeftColumn QPushButton:hover { background: #2d3a2d; border-color: #32ff32; }"
        "#TopBar QPushButton:pressed, #LeftColumn QPushButton:pressed { background: #143214; }"
        "#TopBar QPushButton:disabled, #LeftColumn QPushButton:disabled { color: #6a6a6a; border-color: #2a2a2a; }"
        "#LeftColumn QPushButton[netLaunch=\"true\"] { color: #8080ff; }"
        "#LeftColumn QPushButton[netLaunch=\"true\"]:disabled { color: #404070; }"
        "QTabWidget::pane { border: 1px solid #2a2a2a; background: black; }"
        "QTabBar::tab { background: #1a1a1a; color: #c8c8c8; padding: 3px 14px; border: 1px solid #2a2a2a; }"
        "QTabBar::tab:selected { background: #0f2a0f; color: #32ff32; }"
        "QTreeView, QListView { background: black; color: #32ff32; alternate-background-color: #070f07;"
        "  selection-background-color: #1f5f1f; selection-color: white; border: none; }"
        "QHeaderView::section { background: #1a1a1a; color: #d0d0d0; border: 1px solid #2a2a2a; padding: 2px 4px; }"
        "QStatusBar { background: #101010; color: #c8c8c8; }"
        "QStatusBar QLabel { color: #c8c8c8; }"
        "QSplitter::handle { background: #2a2a2a; }"));

    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    // Top bar: the mode label and the tool buttons, "About" at the right edge.
    auto *top = new QWidget(central);
    top->setObjectName(QStringLiteral("TopBar"));
    top->setFixedHeight(38);
    top->setAttribute(Qt::WA_StyledBackground);
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(8, 6, 8, 6);
    topLayout->setSpacing(6);
    m_mode = new QLabel(QStringLiteral("Not selected"), top);
    m_mode->setObjectName(QStringLiteral("ModeLabel"));
    m_mode->setFixedSize(120, 16);
    m_mode->setToolTip(QStringLiteral("Current state"));
    m_mode->setStyleSheet(QStringLiteral("color: #32ff32; font-weight: bold; background: transparent;"));
    topLayout->addWidget(m_mode);
    const QSize topButton(78, 25);
    auto *filter = makeCommandButton(top, MainAction::Filter, QStringLiteral("dropdown.wav"), topButton);
    filter->setToolTip(QStringLiteral("Show servers seleted type only "));
    topLayout->addWidget(filter);
    topLayout->addWidget(makeCommandButton(top, MainAction::Find, QStringLiteral("dropdown.wav"), topButton));
    topLayout->addWidget(makeCommandButton(top, MainAction::Style, QStringLiteral("Confirm.wav"), topButton));
    topLayout->addWidget(makeCommandButton(top, MainAction::Log, QStringLiteral("confirm.wav"), topButton));
    topLayout->addStretch();
    auto *about = makeCommandButton(top, MainAction::About, QStringLiteral("beep.wav"), topButton);
    about->setToolTip(QStringLiteral("Who createt the Orvane"));
    topLayout->addWidget(about);
    grid->addWidget(top, 0, 0, 1, 2);

    // Left column of command buttons.
    auto *left = new QWidget(central);
    left->setObjectName(QStringLiteral("LeftColumn"));
    left->setFixedWidth(134);
    left->setAttribute(Qt::WA_StyledBackground);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(8, 8, 8, 8);
    leftLayout->setSpacing(6);
    const QSize leftButton(118, 25);
    struct ButtonSpec
    {
        MainAction action;
        const char *sound;
    };
    const ButtonSpec upper[] = {{MainAction::Internet, "beep.wav"},
                                {MainAction::Local, "beep.wav"},
                                {MainAction::Favorites, "beep.wav"},
                                {MainAction::Refresh, "respawn.wav"},
                                {MainAction::RefreshC, "respawn.wav"}};
    for (const ButtonSpec &spec : upper)
        leftLayout->addWidget(makeCommandButton(left, spec.action, QString::fromLatin1(spec.sound), leftButton));
    auto *checker = makeCommandButton(left, MainAction::Repeat, QString(), leftButton);
    leftLayout->addWidget(checker);
    leftLayout->addWidget(makeCommandButton(left, MainAction::Clanes, QStringLiteral("dropdown.wav"), leftButton));
    leftLayout->addStretch();
    auto *viaNet = makeCommandButton(left, MainAction::UnrealviaNet, QString(), leftButton);
    viaNet->setProperty("netLaunch", true);
    leftLayout->addWidget(viaNet);
    auto *viaNetIni = makeCommandButton(left, MainAction::UnrealviaNetandINI, QString(), leftButton);
    viaNetIni->setProperty("netLaunch", true);
    leftLayout->addWidget(viaNetIni);
    auto *more = makeCommandButton(left, MainAction::More, QString(), leftButton);
    leftLayout->addWidget(more);
    leftLayout->addWidget(
        makeCommandButton(left, MainAction::UnrealOptions, QStringLiteral("dropdown.wav"), leftButton));
    leftLayout->addWidget(
        makeCommandButton(left, MainAction::GeneralOptions, QStringLiteral("dropdown.wav"), leftButton));
    leftLayout->addWidget(makeCommandButton(left, MainAction::Exit, QString(), leftButton));
    grid->addWidget(left, 1, 0);

    // Client area: the three pages over the players panel.
    auto *splitter = new QSplitter(Qt::Vertical, central);
    splitter->setObjectName(QStringLiteral("PlayersSplitter"));
    splitter->setHandleWidth(2);
    splitter->setChildrenCollapsible(false);
    m_pages = new QTabWidget(splitter);
    m_pages->setObjectName(QStringLiteral("Notebook1"));
    m_pages->setDocumentMode(true);
    const char *const viewNames[] = {"InternetList", "LocalList", "FavoritesList"};
    for (int page = 0; page < orv::engine::kServerPages; ++page) {
        auto *view = new ServerView(m_pages);
        view->setObjectName(QString::fromLatin1(viewNames[page]));
        view->setModel(m_engine.itemModel(static_cast<ServerPage>(page)), &iconOfRow);
        for (int column = 0; column < orv::engine::kServerColumns; ++column)
            view->report()->header()->resizeSection(column, kServerColumnWidths[column]);
        view->header()->setMarker(m_engine.sortColumn(static_cast<ServerPage>(page)), IconProvider::kAscendingMarker);
        setComponentReference(view, "LargeImages", m_largeImages);
        setComponentReference(view, "SmallImages", m_smallImages);
        m_views[static_cast<size_t>(page)] = view;
        m_pages->addTab(view, QString::fromLatin1(kPageCaptions[page]));
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, page] { selectionChanged(static_cast<ServerPage>(page)); });
        connect(view, &ServerView::rowActivated, this, [this] { action(MainAction::UnrealviaNet)->trigger(); });
        connect(view, &ServerView::columnClicked, this, &TMainForm::columnClicked);
        connect(view, &ServerView::contextMenuRequested, this, [this](const QPoint &pos) {
            prepareServersMenu();
            m_serversMenu->exec(pos);
        });
    }
    connect(m_pages, &QTabWidget::currentChanged, this,
            [this](int index) { changePage(static_cast<ServerPage>(index)); });

    auto *playersPanel = new PlayersPanel(splitter);
    playersPanel->setObjectName(QStringLiteral("PlayersPanel"));
    auto *playersLayout = new QVBoxLayout(playersPanel);
    playersLayout->setContentsMargins(0, 0, 0, 0);
    m_players = new PlayersModel(this);
    m_playersView = new ServerView(playersPanel);
    m_playersView->setObjectName(QStringLiteral("PlayersList"));
    m_playersView->setToolTip(QStringLiteral("List of players selected server"));
    m_playersView->setModel(m_players, ServerView::IconSource(&noPlayerIcon));
    m_playersView->header()->setSectionsClickable(false);
    m_playersView->header()->resizeSection(0, 200);
    m_playersView->setFont(QFont(QStringLiteral("Arial"), 8));
    connect(m_playersView, &ServerView::contextMenuRequested, this,
            [this](const QPoint &pos) { m_playersMenu->exec(pos); });
    playersLayout->addWidget(m_playersView);
    splitter->addWidget(m_pages);
    splitter->addWidget(playersPanel);
    splitter->setSizes({572 - 38 - 166, 166});
    grid->addWidget(splitter, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    // Status bar: refresh progress, then the latest message.
    m_status0 = new QLabel(this);
    m_status0->setObjectName(QStringLiteral("StatusPanel0"));
    m_status0->setFixedWidth(70);
    m_status0->setAlignment(Qt::AlignCenter);
    m_status1 = new QLabel(this);
    m_status1->setObjectName(QStringLiteral("StatusPanel1"));
    statusBar()->addWidget(m_status0);
    statusBar()->addWidget(m_status1, 1);
    statusBar()->setSizeGripEnabled(true);

    // The two drop-down buttons open their menus to their right.
    connect(more, &QPushButton::pressed, this, [this, more] {
        m_sounds.click(QStringLiteral("dropdown.wav"));
        m_moreMenu->exec(more->mapToGlobal(QPoint(more->width(), 0)));
    });
    connect(checker, &QPushButton::pressed, this, [this, checker] {
        m_sounds.click(QStringLiteral("dropdown.wav"));
        m_repeaterMenu->exec(checker->mapToGlobal(QPoint(checker->width(), 0)));
    });
}

void TMainForm::buildMenus()
{
    auto act = [this](MainAction command) { return action(command); };

    m_serversMenu = new QMenu(this);
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
    connect(m_serversMenu, &QMenu::aboutToShow, this, &TMainForm::prepareServersMenu);

    m_moreMenu = new QMenu(this);
    m_moreMenu->setObjectName(QStringLiteral("MoreMenu"));
    m_restoreAction = m_moreMenu->addAction(QStringLiteral("Restore main window"), this, &TMainForm::restoreFromTray);
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
    connect(unreal, &QMenu::aboutToShow, this, [this] { m_gameSwitchUT = false; });
    connect(ut, &QMenu::aboutToShow, this, [this] { m_gameSwitchUT = true; });
    QAction *sep2 = m_moreMenu->addSeparator();
    // The tray menu's own items for About and Exit: hiding them must not disable the
    // commands behind them, which the window's buttons share.
    QAction *aboutItem =
        m_moreMenu->addAction(act(MainAction::About)->text(), act(MainAction::About), &QAction::trigger);
    QAction *exitItem = m_moreMenu->addAction(act(MainAction::Exit)->text(), act(MainAction::Exit), &QAction::trigger);
    m_trayOnlyItems = {m_restoreAction, sep1, sep2, aboutItem, exitItem};
    connect(m_moreMenu, &QMenu::aboutToShow, this, [this] {
        const bool tray = isTrayActive();
        for (QAction *item : std::as_const(m_trayOnlyItems))
            item->setVisible(tray);
    });
    for (QAction *item : std::as_const(m_trayOnlyItems))
        item->setVisible(false);

    m_playersMenu = new QMenu(this);
    m_playersMenu->setObjectName(QStringLiteral("PlayersMenu"));
    m_playersMenu->addAction(act(MainAction::PNameToClipboard));

    m_repeaterMenu = new QMenu(this);
    m_repeaterMenu->setObjectName(QStringLiteral("RepeaterMenu"));
    m_repeaterMenu->addAction(act(MainAction::RepeatSelected));
    m_repeaterMenu->addAction(act(MainAction::RepeatMultiple));
}

QMenu *TMainForm::serversMenu()
{
    return m_serversMenu;
}

void TMainForm::prepareServersMenu()
{
    const ServerPage page = currentPage();
    m_byPingMenu->menuAction()->setVisible(page != ServerPage::Favorites);

    m_columnsMenu->clear();
    QTreeView *report = currentView()->report();
    for (int column = 0; column < orv::engine::kServerColumns; ++column) {
        QAction *item = m_columnsMenu->addAction(orv::engine::serverColumnCaption(column));
        item->setCheckable(true);
        const bool visible = report->header()->sectionSize(column) > 0;
        item->setChecked(visible);
        if (column == 0 && visible)
            item->setEnabled(false);
        connect(item, &QAction::triggered, this, [this, column] { toggleColumn(column); });
    }

    const int row = currentView()->currentRow();
    const bool answered = row >= 0 && m_engine.view(page).row(row).isAnswered();
    m_presetMenu->setEnabled(answered && !m_presetMenu->isEmpty());
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
        if (m_services) {
            self->setEnabled(false);
            const bool built = m_services->buildInternetList();
            self->setEnabled(true);
            if (!built)
                return;
        }
        m_pages->setCurrentIndex(0);
        changePage(ServerPage::Internet);
        m_engine.RebuildList(ServerPage::Internet);
    });
    on(MainAction::Local, [this] {
        if (m_services)
            m_services->discoverLocal();
        m_pages->setCurrentIndex(1);
        changePage(ServerPage::Local);
        m_engine.RebuildList(ServerPage::Local);
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
    for (const auto &[command, window] : windows) {
        on(command, [this, window] {
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
    connect(&m_engine, &orv::engine::QueryEngine::selectedServerRefreshed, this,
            [this] { showPlayersOf(currentView()->currentRow()); });
    connect(&m_engine, &orv::engine::QueryEngine::busyChanged, this, &TMainForm::setTrayBusy);
    connect(&m_engine, &orv::engine::QueryEngine::refreshProgress, this,
            [this](qsizetype position, qsizetype total) { setTrayHint(refreshTrayHint(position, total)); });
    connect(&m_engine, &orv::engine::QueryEngine::refreshPassEnded, this, [this] { setTrayHint(idleTrayHint()); });
    connect(&m_engine, &orv::engine::QueryEngine::exitRequested, this, [this] {
        m_closing = true;
        close();
    });
    // A refresh that ends while the window sits in the tray is announced by a sound.
    connect(&m_engine, &orv::engine::QueryEngine::refreshRunFinished, this, [this] {
        if (isTrayActive() && m_services)
            m_sounds.playAndWait(m_services->refreshCompleteSound());
    });
}

void TMainForm::setTrayBusy(bool busy)
{
    m_trayAnimated = busy;
    if (busy) {
        m_trayTimer->start();
        m_tray2Timer->start();
    } else {
        m_trayTimer->stop();
        m_tray2Timer->stop();
    }
}

void TMainForm::setTrayHint(const QString &hint)
{
    m_tray->setToolTip(hint);
    m_tray2->setToolTip(hint);
}

void TMainForm::setupTray()
{
    m_tray = new QSystemTrayIcon(IconProvider::trayFrames(false).constFirst(), this);
    m_tray2 = new QSystemTrayIcon(IconProvider::trayFrames(true).constFirst(), this);
    m_tray->setObjectName(QStringLiteral("Tray"));
    m_tray2->setObjectName(QStringLiteral("Tray2"));
    m_tray->setToolTip(idleTrayHint());
    m_tray2->setToolTip(idleTrayHint());
    m_tray->setContextMenu(m_moreMenu);
    m_tray2->setContextMenu(m_moreMenu);
    for (QSystemTrayIcon *icon : {m_tray, m_tray2}) {
        connect(icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                restoreFromTray();
        });
    }
    m_trayTimer = new QTimer(this);
    m_trayTimer->setInterval(120);
    m_tray2Timer = new QTimer(this);
    m_tray2Timer->setInterval(70);
    connect(m_trayTimer, &QTimer::timeout, this, [this] {
        static const QList<QIcon> frames = IconProvider::trayFrames(false);
        m_trayFrame = (m_trayFrame + 1) % static_cast<int>(frames.size());
        m_tray->setIcon(frames[m_trayFrame]);
    });
    connect(m_tray2Timer, &QTimer::timeout, this, [this] {
        static const QList<QIcon> frames = IconProvider::trayFrames(true);
        m_tray2Frame = (m_tray2Frame + 1) % static_cast<int>(frames.size());
        m_tray2->setIcon(frames[m_tray2Frame]);
    });
}

bool TMainForm::isTrayActive() const
{
    return m_tray->isVisible() || m_tray2->isVisible();
}

void TMainForm::toTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    (m_engine.isRefreshActive() ? m_tray2 : m_tray)->show();
    hide();
}

void TMainForm::restoreFromTray()
{
    m_tray->hide();
    m_tray2->hide();
    showNormal();
    raise();
    activateWindow();
}

void TMainForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized() && m_services && m_services->minimizeToTray())
        QTimer::singleShot(0, this, &TMainForm::toTray);
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
    return m_mode->text();
}

QString TMainForm::statusText(StatusPanel panel) const
{
    return panel == StatusPanel::Progress ? m_status0->text() : m_statusMessage;
}

void TMainForm::setStatusText(StatusPanel panel, const QString &text)
{
    if (panel == StatusPanel::Progress) {
        m_status0->setText(text);
        return;
    }
    m_statusMessage = text;
    if (!m_showingStatusTip)
        m_status1->setText(text);
}

bool TMainForm::event(QEvent *event)
{
    // A hovered menu item's hint goes to the message panel alone, so the refresh progress
    // stays in sight; the message comes back when the menu closes.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        m_showingStatusTip = !tip.isEmpty();
        m_status1->setText(m_showingStatusTip ? tip : m_statusMessage);
        return true;
    }
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
    m_mode->setText(QString::fromLatin1(kPageCaptions[static_cast<int>(page)]));
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
    const orv::engine::ServerInfo info =
        m_engine.DecodeServerInfo(entry.column(orv::engine::kColumnAddress), entry.column(orv::engine::kColumnGamePort),
                                  entry.column(orv::engine::kColumnQueryPort));
    PlayersModel::SkinLookup lookup;
    if (m_services) {
        lookup = [this](const orv::engine::ServerInfo &server, const orv::engine::PlayerEntry &player) {
            return m_services->playerIcon(server, player);
        };
    }
    m_players->showPlayers(info, lookup);
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
    if (m_engine.isRefreshActive() && !m_closing) {
        // The refresh stops and the exchange in progress gets one time-out, as the options
        // say now, to end; the program ends once the refresh has unwound.
        m_engine.requestClose();
        const int wait = std::clamp(m_engine.options().internetServTimeOut, 0, 10000);
        if (m_closeWait)
            m_closeWait(wait);
        else
            QThread::msleep(static_cast<unsigned long>(wait));
        m_closing = true;
    }
    if (m_exitSoundPending && !(m_tray->isVisible() && m_tray2->isVisible())) {
        m_exitSoundPending = false;
        if (m_services)
            m_sounds.playAndWait(m_services->exitSound());
    }
    m_tray->hide();
    m_tray2->hide();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        QApplication::closeAllWindows();
        emit closed();
    }
}

} // namespace orv::frontend
