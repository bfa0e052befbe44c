// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's layout: the top bar, the left column of command buttons, the three
// list pages over the players panel, and the status bar.
#include "orv/frontend/mainwindow/mainform.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "orv/engine/queryengine.h"
#include "orv/frontend/formstorage/storedproperties.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainmenus.h"
#include "orv/frontend/mainwindow/mainstatus.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"

using orv::engine::ServerPage;

namespace orv::frontend {

namespace {

constexpr int kServerColumnWidths[orv::engine::kServerColumns] = {200, 70, 70, 70, 70, 0, 70, 70, 70, 0, 0, 0, 70,
                                                                  0,   0,  0,  0,  0,  0, 0,  0,  0,  0, 0, 0, 0};

QIcon iconOfRow(int index)
{
    return IconProvider::rowIcon(index);
}

} // namespace

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
    topLayout->addWidget(m_status->createModeLabel(top));
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
        m_pages->addTab(view, pageCaption(static_cast<ServerPage>(page)));
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, page] { selectionChanged(static_cast<ServerPage>(page)); });
        connect(view, &ServerView::rowActivated, this, [this] { action(MainAction::UnrealviaNet)->trigger(); });
        connect(view, &ServerView::columnClicked, this, &TMainForm::columnClicked);
        connect(view, &ServerView::contextMenuRequested, this, [this](const QPoint &pos) {
            prepareServersMenu();
            m_menus->servers()->exec(pos);
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
            [this](const QPoint &pos) { m_menus->players()->exec(pos); });
    playersLayout->addWidget(m_playersView);
    splitter->addWidget(m_pages);
    splitter->addWidget(playersPanel);
    splitter->setSizes({572 - 38 - 166, 166});
    grid->addWidget(splitter, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    m_status->createPanels(*this);

    // The two drop-down buttons open their menus to their right.
    connect(more, &QPushButton::pressed, this, [this, more] {
        m_sounds.click(QStringLiteral("dropdown.wav"));
        m_menus->more()->exec(more->mapToGlobal(QPoint(more->width(), 0)));
    });
    connect(checker, &QPushButton::pressed, this, [this, checker] {
        m_sounds.click(QStringLiteral("dropdown.wav"));
        m_menus->repeater()->exec(checker->mapToGlobal(QPoint(checker->width(), 0)));
    });
}

} // namespace orv::frontend
