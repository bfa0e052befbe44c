// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/tclansform.h"

#include <cmath>
#include <memory>
#include <numbers>

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "orv/net/filedownloader.h"
#include "orv/tools/clanlinks.h"
#include "platform/desktop/shell.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace orv::tools {

namespace {

constexpr int kIconSize = 32;
constexpr int kShortColumnWidth = 60;
constexpr int kNickColumnWidth = 200;
constexpr int kDetailRows = 4;
constexpr int kKeyRole = Qt::UserRole;

const QColor kLime(0x32, 0xff, 0x32);
const QColor kDarkGreen(0x0f, 0x3a, 0x0f);

QTreeWidget *makeList(QWidget *parent, const QString &name, const QString &hint)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setToolTip(hint);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setIconSize(QSize(kIconSize, kIconSize));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    return list;
}

} // namespace

TClansForm::TClansForm(net::FileDownloader &downloader, QWidget *parent)
    : QDialog(parent)
    , m_downloader(downloader)
    , m_listPath(defaultListPath())
    , m_webSite(clanlinks::defaultWebSite())
    , m_openUrl([](const QUrl &url) { return platform::shell::openUrl(url.toString(QUrl::FullyEncoded)); })
{
    buildControls();
    clearDetails();
}

TClansForm::~TClansForm() = default;

QString TClansForm::defaultListPath()
{
    return QDir(platform::paths::programFolder()).filePath(QStringLiteral("clans.lst"));
}

void TClansForm::buildControls()
{
    setObjectName(QStringLiteral("ClansForm"));
    setWindowTitle(tr("Unreal Clans"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setStyleSheet(QStringLiteral(
        "#ClansForm { background: black; }"
        "QTreeWidget, QTableWidget { background: black; color: #32ff32; alternate-background-color: #070f07;"
        "  selection-background-color: #1f5f1f; selection-color: white; border: 1px solid #2a2a2a;"
        "  gridline-color: #1c2c1c; }"
        "QHeaderView::section { background: #1a1a1a; color: #d0d0d0; border: 1px solid #2a2a2a; padding: 2px 4px; }"
        "QPushButton { background: #1f1f1f; color: white; border: 1px solid #3c3c3c; border-radius: 3px;"
        "  padding: 4px 12px; }"
        "QPushButton:hover { background: #2d3a2d; border-color: #32ff32; }"
        "QPushButton:pressed { background: #143214; }"
        "QPushButton:focus { border-color: #32ff32; }"
        "QMenu { background: #101010; color: #32ff32; border: 1px solid #2a2a2a; }"
        "QMenu::item:selected { background: #1f5f1f; color: white; }"
        "QMenu::item:disabled { color: #3f5f3f; }"
        "QMenu::separator { height: 1px; background: #2a2a2a; margin: 3px 6px; }"));

    ClansList = makeList(this, QStringLiteral("ClansList"), tr("List of current registred clans"));
    ClansList->setHeaderLabels({tr("Clan"), tr("Short"), tr("Home Page")});
    ClansList->header()->setStretchLastSection(true);
    ClansList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ClansList->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    ClansList->header()->resizeSection(1, kShortColumnWidth);

    MembersList = makeList(this, QStringLiteral("MembersList"), tr("Members selected clan"));
    MembersList->setHeaderLabels({tr("Nick name")});
    // At least the nickname column's width; the column takes whatever room is left.
    MembersList->header()->setMinimumSectionSize(kNickColumnWidth);
    MembersList->header()->setStretchLastSection(true);
    MembersList->setMinimumWidth(kNickColumnWidth + 24);

    PersonalInfo = new QTableWidget(kDetailRows, 2, this);
    PersonalInfo->setObjectName(QStringLiteral("PersonalInfo"));
    PersonalInfo->horizontalHeader()->hide();
    PersonalInfo->verticalHeader()->hide();
    PersonalInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PersonalInfo->setSelectionMode(QAbstractItemView::SingleSelection);
    PersonalInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
    PersonalInfo->horizontalHeader()->resizeSection(0, 90);
    PersonalInfo->horizontalHeader()->setStretchLastSection(true);
    PersonalInfo->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int row = 0; row < kDetailRows; ++row) {
        auto *key = new QTableWidgetItem;
        key->setForeground(QColor(0xd0, 0xd0, 0xd0));
        PersonalInfo->setItem(row, 0, key);
        PersonalInfo->setItem(row, 1, new QTableWidgetItem);
    }
    PersonalInfo->setFixedHeight(kDetailRows * PersonalInfo->verticalHeader()->defaultSectionSize() +
                                 2 * PersonalInfo->frameWidth());

    ClanesMenu = new QMenu(this);
    ClanesMenu->setObjectName(QStringLiteral("ClanesMenu"));
    const auto addMenuItem = [this](const QString &caption, const QKeySequence &shortcut) {
        QAction *action = ClanesMenu->addAction(caption);
        action->setShortcut(shortcut);
        // The items' shortcuts work anywhere in the window, as the menu's own keys.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    m_goClan = addMenuItem(tr("Go clane homepage"), QKeySequence(Qt::CTRL | Qt::Key_G));
    m_goMember = addMenuItem(tr("Go to member homepage"), QKeySequence(Qt::CTRL | Qt::Key_P));
    m_writeMail = addMenuItem(tr("Wtite mail"), QKeySequence(Qt::CTRL | Qt::Key_M));
    ClanesMenu->addSeparator();
    m_copyInfo = addMenuItem(tr("Copy personal info to clipboard"), QKeySequence(Qt::CTRL | Qt::Key_C));
    m_copyInfo->setEnabled(false);
    connect(ClanesMenu, &QMenu::aboutToShow, this, &TClansForm::updateMenu);
    connect(m_goClan, &QAction::triggered, this, &TClansForm::openClanPage);
    connect(m_goMember, &QAction::triggered, this, &TClansForm::goMemberHomepage);
    connect(m_writeMail, &QAction::triggered, this, &TClansForm::writeMail);
    connect(m_copyInfo, &QAction::triggered, this, &TClansForm::copyPersonalInfo);

    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(ClansList), static_cast<QAbstractItemView *>(MembersList),
          static_cast<QAbstractItemView *>(PersonalInfo)}) {
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint &pos) { ClanesMenu->popup(view->viewport()->mapToGlobal(pos)); });
    }

    connect(ClansList, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (current)
            selectClan(ClansList->indexOfTopLevelItem(current));
    });
    connect(MembersList, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (current)
            selectMember(MembersList->indexOfTopLevelItem(current));
    });
    connect(ClansList, &QTreeWidget::itemDoubleClicked, this, &TClansForm::openClanPage);

    m_downloadButton = addButton(tr("Download information"), tr("Get clans information from our web site"),
                                 QStringLiteral("shot.wav"));
    m_registerButton =
        addButton(tr("Register your Clan"), tr("Register your Clan on our web site"), QStringLiteral("shot.wav"));
    m_newsButton = addButton(tr("News on our site"), tr("Look news on our web site"), QStringLiteral("shot.wav"));
    m_closeButton = addButton(tr("Close"), QString(), QStringLiteral("select.wav"));
    connect(m_downloadButton, &QPushButton::clicked, this, &TClansForm::downloadInformation);
    connect(m_registerButton, &QPushButton::clicked, this, &TClansForm::registerClan);
    connect(m_newsButton, &QPushButton::clicked, this, &TClansForm::showNews);
    // The base class's reject hides the window; reject() itself stands for Esc.
    connect(m_closeButton, &QPushButton::clicked, this, [this] { QDialog::reject(); });

    auto *lower = new QHBoxLayout;
    lower->setSpacing(6);
    lower->addWidget(MembersList);
    lower->addWidget(PersonalInfo, 1, Qt::AlignTop);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(m_downloadButton);
    buttons->addWidget(m_registerButton);
    buttons->addWidget(m_newsButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(ClansList, 3);
    layout->addLayout(lower, 2);
    layout->addLayout(buttons);
    resize(640, 460);
}

QPushButton *TClansForm::addButton(const QString &caption, const QString &hint, const QString &sound)
{
    auto *button = new QPushButton(caption, this);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, sound] { emit clickSound(sound); });
    return button;
}

QIcon TClansForm::clanIcon()
{
    // A shield with a lime rim and a star.
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shield;
    shield.moveTo(5, 4);
    shield.lineTo(27, 4);
    shield.lineTo(27, 15);
    shield.cubicTo(27, 22, 21, 27, 16, 29);
    shield.cubicTo(11, 27, 5, 22, 5, 15);
    shield.closeSubpath();
    p.setPen(QPen(kLime, 2));
    p.setBrush(kDarkGreen);
    p.drawPath(shield);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 7.0 : 3.0;
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        star << QPointF(16 + radius * std::cos(angle), 15 + radius * std::sin(angle));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kLime);
    p.drawPolygon(star);
    return QIcon(pixmap);
}

QIcon TClansForm::memberIcon()
{
    // Head and shoulders.
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kLime, 1.5));
    p.setBrush(kDarkGreen);
    p.drawEllipse(QPointF(16, 11), 6, 6);
    QPainterPath body;
    body.moveTo(5, 29);
    body.cubicTo(5, 21, 10, 18.5, 16, 18.5);
    body.cubicTo(22, 18.5, 27, 21, 27, 29);
    body.closeSubpath();
    p.drawPath(body);
    return QIcon(pixmap);
}

void TClansForm::clearDetails()
{
    for (int row = 0; row < kDetailRows; ++row) {
        PersonalInfo->item(row, 0)->setText(QString::fromLatin1(MemberInfo::kKeys[size_t(row)]));
        PersonalInfo->item(row, 1)->setText(QString());
    }
}

void TClansForm::clearWindow()
{
    ClansList->clear();
    MembersList->clear();
    m_clans.clear();
}

QString TClansForm::detail(int row) const
{
    return PersonalInfo->item(row, 1)->text();
}

void TClansForm::reloadList()
{
    clearDetails();
    clearWindow();
    if (auto status = m_clans.load(m_listPath); !status) {
        emit logLine(status.error().message);
        return;
    }
    const QIcon icon = clanIcon();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_clans.clans().size());
    for (const ClanEntry &clan : m_clans.clans()) {
        auto *item = new QTreeWidgetItem({platform::textfile::fromAnsi(clan.fullName),
                                          platform::textfile::fromAnsi(clan.shortName),
                                          platform::textfile::fromAnsi(clan.page)});
        item->setIcon(0, icon);
        // Members are looked up by the file's own bytes, not by the text shown.
        item->setData(0, kKeyRole, clan.shortName);
        rows.append(item);
    }
    ClansList->addTopLevelItems(rows);
}

void TClansForm::selectClan(int row)
{
    for (int i = 0; i < kDetailRows; ++i)
        PersonalInfo->item(i, 1)->setText(QString());
    if (!m_clans.isLoaded())
        return;
    MembersList->clear();
    const QTreeWidgetItem *clan = ClansList->topLevelItem(row);
    if (!clan)
        return;
    const QIcon icon = memberIcon();
    QList<QTreeWidgetItem *> rows;
    for (const QByteArray &nickname : m_clans.members(clan->data(0, kKeyRole).toByteArray())) {
        auto *item = new QTreeWidgetItem({platform::textfile::fromAnsi(nickname)});
        item->setIcon(0, icon);
        item->setData(0, kKeyRole, nickname);
        rows.append(item);
    }
    MembersList->addTopLevelItems(rows);
}

void TClansForm::selectMember(int row)
{
    for (int i = 0; i < kDetailRows; ++i)
        PersonalInfo->item(i, 1)->setText(QString());
    if (!m_clans.isLoaded())
        return;
    const QTreeWidgetItem *member = MembersList->topLevelItem(row);
    if (!member)
        return;
    const MemberInfo info = m_clans.memberInfo(member->data(0, kKeyRole).toByteArray());
    const QByteArray *values[kDetailRows] = {&info.realName, &info.email, &info.icq, &info.homepage};
    for (int i = 0; i < kDetailRows; ++i)
        PersonalInfo->item(i, 1)->setText(platform::textfile::fromAnsi(*values[i]));
}

void TClansForm::openClanPage()
{
    const QList<QTreeWidgetItem *> selected = ClansList->selectedItems();
    if (selected.isEmpty())
        return;
    const QString page = selected.first()->text(2);
    if (page == QLatin1String("N/A"))
        return;
    openAddress(page);
}

void TClansForm::goMemberHomepage()
{
    const QString homepage = detail(3);
    if (!homepage.isEmpty())
        openAddress(homepage);
}

void TClansForm::writeMail()
{
    const QString email = detail(1);
    if (email.isEmpty())
        return;
    if (const auto url = clanlinks::mailtoUrl(email))
        openUrl(*url);
    else
        emit logLine(tr("Not opened: \"%1\" is not a mail address.").arg(email));
}

void TClansForm::copyPersonalInfo()
{
    QStringList values;
    for (int row = 0; row < kDetailRows; ++row)
        values.append(detail(row));
    QGuiApplication::clipboard()->setText(values.join(QLatin1Char(',')));
}

void TClansForm::updateMenu()
{
    m_goClan->setEnabled(!ClansList->selectedItems().isEmpty());
    m_goMember->setEnabled(!detail(3).isEmpty());
    m_writeMail->setEnabled(!detail(1).isEmpty());
    m_copyInfo->setEnabled(!MembersList->selectedItems().isEmpty());
}

bool TClansForm::downloadInformation()
{
    if (m_proxySource)
        m_downloader.setProxy(m_proxySource());
    // The window may be closed before the download is through: then it does not reload.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&m_downloader, &net::FileDownloader::finished, this, [this, connection](bool ok) {
        disconnect(*connection);
        if (isVisible())
            reloadList();
        emit informationDownloaded(ok);
    });
    if (m_downloader.startDownload(clanlinks::clansListUrl(m_webSite).toString(QUrl::FullyEncoded), m_listPath))
        return true;
    disconnect(*connection);
    return false;
}

void TClansForm::registerClan()
{
    openUrl(clanlinks::registrationPageUrl(m_webSite));
}

void TClansForm::showNews()
{
    openUrl(clanlinks::newsPageUrl(m_webSite));
}

void TClansForm::openAddress(const QString &text)
{
    if (const auto url = clanlinks::webPageUrl(text))
        openUrl(*url);
    else
        emit logLine(tr("Not opened: \"%1\" is not a web address.").arg(text));
}

void TClansForm::openUrl(const QUrl &url)
{
    if (m_openUrl && !m_openUrl(url))
        emit logLine(tr("Could not open %1").arg(url.toString()));
}

void TClansForm::reject()
{
    m_closeButton->click();
}

void TClansForm::closeEvent(QCloseEvent *event)
{
    // The title bar's close button closes without the "Close" button's sound.
    if (isVisible())
        QDialog::reject();
    event->accept();
}

void TClansForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Restoring a minimized window is no new show: the lists stay as they are.
    if (!event->spontaneous())
        reloadList();
}

void TClansForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous()) {
        clearDetails();
        clearWindow();
    }
}

} // namespace orv::tools
