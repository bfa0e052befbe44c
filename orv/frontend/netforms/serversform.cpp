// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/serversform.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/net/defaultmasterurls.h"
#include "orv/net/gamespy.h"

namespace orv::frontend {

namespace {

QListWidget *urlList(QWidget *parent, const QString &name, const QList<net::MasterUrl> &urls)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    for (const net::MasterUrl &url : urls) {
        auto *item = new QListWidgetItem(url.url, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(url.checked ? Qt::Checked : Qt::Unchecked);
    }
    // Lines restored from the store become check lines too.
    list->setProperty("CheckList", true);
    return list;
}

QList<net::MasterUrl> urlsOf(const QListWidget *list)
{
    QList<net::MasterUrl> urls;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem *item = list->item(row);
        urls.append({item->text(), item->checkState() == Qt::Checked});
    }
    return urls;
}

} // namespace

TServersForm::TServersForm(platform::RegistryStore &store, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ServersForm"));
    setWindowTitle(tr("Servers lists"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    m_unrealButton = new QPushButton(tr("Unreal"), this);
    m_unrealButton->setObjectName(QStringLiteral("Color95Button1"));
    m_utButton = new QPushButton(tr("Unreal Tournament"), this);
    m_utButton->setObjectName(QStringLiteral("Color95Button2"));
    auto *toggles = new QButtonGroup(this);
    for (QPushButton *b : {m_unrealButton, m_utButton}) {
        b->setCheckable(true);
        toggles->addButton(b);
    }
    m_unrealButton->setChecked(true);
    for (QPushButton *b : {m_unrealButton, m_utButton})
        connect(b, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("confirm.wav")); });
    connect(m_unrealButton, &QPushButton::clicked, this, &TServersForm::Color95Button1Click);
    connect(m_utButton, &QPushButton::clicked, this, &TServersForm::Color95Button2Click);

    m_notebook = new QStackedWidget(this);
    m_notebook->setObjectName(QStringLiteral("Notebook1"));
    const net::DefaultMasters defaults = net::loadDefaultMasters();
    m_uServersList = urlList(m_notebook, QStringLiteral("UServersList"), defaults.unreal);
    m_utServersList = urlList(m_notebook, QStringLiteral("UTServersList"), defaults.ut);
    m_notebook->addWidget(m_uServersList);
    m_notebook->addWidget(m_utServersList);

    m_addText = new QLineEdit(this);
    m_addText->setObjectName(QStringLiteral("AddText"));
    m_addText->setToolTip(tr("Server to add or edit"));
    m_addText->installEventFilter(this);
    auto *addbutton = new QToolButton(this);
    addbutton->setObjectName(QStringLiteral("addbutton"));
    addbutton->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    addbutton->setToolTip(tr("Add server to list"));
    connect(addbutton, &QToolButton::clicked, this, &TServersForm::addbuttonClick);
    auto *deleteButton = new QToolButton(this);
    deleteButton->setObjectName(QStringLiteral("SpeedButton2"));
    deleteButton->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    deleteButton->setToolTip(tr("Delete server from list"));
    connect(deleteButton, &QToolButton::clicked, this, &TServersForm::SpeedButton2Click);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("select.wav")); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(m_unrealButton);
    top->addWidget(m_utButton);
    top->addStretch();
    layout->addLayout(top);
    layout->addWidget(m_notebook);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_addText, 1);
    bottom->addWidget(addbutton);
    bottom->addWidget(deleteButton);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    resize(sizeHint().expandedTo(QSize(471, 205)));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // Declared first so that, of the two, it loads last on show.
    m_storage1 = new TFormStorage(this, store);
    m_storage1->setObjectName(QStringLiteral("FormStorage1"));
    m_storage1->setIniSection(QStringLiteral("Servers list"));
    m_storage1->setOptions(TPlacementOption::fpPosition);
    m_storage1->setStoredProps({QStringLiteral("AddText.Text"), QStringLiteral("Color95Button1.Down"),
                                QStringLiteral("Color95Button2.Down"), QStringLiteral("Notebook1.PageIndex")});
    m_storage1->linkCheckList(m_uServersList);
    m_storage1->linkCheckList(m_utServersList);

    m_storage2 = new TFormStorage(this, store);
    m_storage2->setObjectName(QStringLiteral("FormStorage2"));
    m_storage2->setIniSection(QStringLiteral("Servers list\\"));
    m_storage2->setOptions({});
    m_storage2->setActive(false);
    m_storage2->setStoredProps({QStringLiteral("UServersList.Items"), QStringLiteral("UTServersList.Items")});
    // The URL lines are restored when the editor is made; the check marks follow with
    // the "Servers list" storage.
    (void)m_storage2->LoadSettings();
}

TServersForm::~TServersForm()
{
    TFormStorage::formDestroying(this);
}

QList<net::MasterUrl> TServersForm::unrealUrls() const
{
    return urlsOf(m_uServersList);
}

QList<net::MasterUrl> TServersForm::utUrls() const
{
    return urlsOf(m_utServersList);
}

int TServersForm::pageIndex() const
{
    return m_notebook->currentIndex();
}

QListWidget *TServersForm::currentList() const
{
    return m_notebook->currentIndex() == 1 ? m_utServersList : m_uServersList;
}

void TServersForm::Color95Button1Click()
{
    m_unrealButton->setChecked(true);
    m_notebook->setCurrentIndex(0);
}

void TServersForm::Color95Button2Click()
{
    m_utButton->setChecked(true);
    m_notebook->setCurrentIndex(1);
}

void TServersForm::addbuttonClick()
{
    const QString text = m_addText->text().trimmed();
    if (text.isEmpty())
        return;
    if (net::parseMasterSource(text).kind == net::MasterSourceKind::Invalid) {
        QMessageBox::warning(this, windowTitle(),
                             tr("\"%1\" is no master server address.\n\nUse http://… or https://… for a server list "
                                "file, or gamespy://HOST[:PORT] for a master server (port 28900 when none is given).")
                                 .arg(text));
        return;
    }
    auto *item = new QListWidgetItem(text, currentList());
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    saveUrlLists();
}

void TServersForm::SpeedButton2Click()
{
    QListWidget *list = currentList();
    const int row = list->currentRow();
    // The first URL of each list can be unchecked but never deleted.
    if (row <= 0 || !list->currentItem() || !list->currentItem()->isSelected())
        return;
    delete list->takeItem(row);
    saveUrlLists();
}

void TServersForm::saveUrlLists()
{
    (void)m_storage2->SaveSettings();
}

bool TServersForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_addText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addbuttonClick();
            return true;
        }
        if (key == Qt::Key_Escape) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orv::frontend
