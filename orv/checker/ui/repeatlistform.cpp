// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ui/repeatlistform.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "orv/words/rowwords.h"

namespace orv::checker::ui {

using namespace orv::engine;

TRepeatListForm::TRepeatListForm(QueryEngine &engine, platform::RegistryStore &store, orv::frontend::SoundBank &sounds,
                                 QWidget *parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_sounds(sounds)
{
    setObjectName(QStringLiteral("RepeatListForm"));
    setWindowTitle(QStringLiteral("Select servers"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setMinimumSize(260, 290);
    setStyleSheet(QStringLiteral("QDialog { background-color: black; }"));

    auto *root = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("RepeatList"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setSectionsClickable(false);
    m_list->setStyleSheet(QStringLiteral("background-color: black; color: lime;"));
    QStringList headers;
    for (int c = 0; c < kServerColumns; ++c)
        headers.append(orv::words::serverColumnCaption(c));
    m_list->setHeaderLabels(headers);
    root->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    done->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("beep.wav"));
        acceptSelection();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("select.wav"));
        reject();
    });
    buttons->addStretch(1);
    buttons->addWidget(done);
    buttons->addWidget(cancel);
    root->addLayout(buttons);
    resize(420, 320);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_storage = new orv::frontend::TFormStorage(this, store);
    m_storage->setIniSection(QStringLiteral("Repeat\\List\\WinPos"));
    m_storage->setOptions(orv::frontend::TPlacementOption::fpPosition | orv::frontend::TPlacementOption::fpState);
}

TRepeatListForm::~TRepeatListForm()
{
    orv::frontend::TFormStorage::formDestroying(this);
}

void TRepeatListForm::fillFromShownList()
{
    m_list->clear();
    // The main lists' columns at their first widths, none hidden.
    for (int c = 0; c < kServerColumns; ++c) {
        m_list->setColumnHidden(c, false);
        m_list->setColumnWidth(c, c == 0 ? 200 : 70);
    }
    const ServerListModel *model = &m_engine.currentView();
    if (!model)
        return;
    QList<QTreeWidgetItem *> items;
    items.reserve(model->size());
    for (const ServerEntry &entry : model->rows()) {
        QStringList texts;
        texts.reserve(kServerColumns);
        for (int c = 0; c < kServerColumns; ++c)
            texts.append(entry.column(c));
        items.append(new QTreeWidgetItem(texts));
    }
    m_list->addTopLevelItems(items);
}

void TRepeatListForm::acceptSelection()
{
    m_chosen.clear();
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (!item->isSelected())
            continue;
        // Rows of lines that name no server cannot be checked and are left out.
        const auto server = orv::engine::ServerAddress::fromText(
            item->text(kColumnAddress), item->text(kColumnGamePort), item->text(kColumnQueryPort));
        if (server)
            m_chosen.append({item->text(kColumnCaption), *server});
    }
    accept();
}

void TRepeatListForm::showEvent(QShowEvent *event)
{
    m_chosen.clear();
    fillFromShownList();
    QDialog::showEvent(event);
}

} // namespace orv::checker::ui
