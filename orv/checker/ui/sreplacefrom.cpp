// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ui/sreplacefrom.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

#include "orv/checker/replacementtable.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/soundbank.h"

namespace orv::checker::ui {

namespace {
const QString kGridHint = QStringLiteral(
    "Do not use words  \"unreal\"  \" ut\"  it is reserved for detect game type and  port numbers or IP address!!!\n"
    "Max strings to replase = 200\n"
    "If you keep string is blank then all string down is not save!");
}

TSReplaceFrom::TSReplaceFrom(ReplacementTable &table, platform::RegistryStore &store, orv::frontend::SoundBank &sounds,
                             QWidget *parent)
    : QDialog(parent)
    , m_table(table)
    , m_store(store)
{
    setObjectName(QStringLiteral("SReplaceFrom"));
    setWindowTitle(QStringLiteral("String Replacer"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setStyleSheet(QStringLiteral("QDialog { background-color: black; } QLabel, QCheckBox { color: lime; }"));

    auto *root = new QGridLayout(this);
    root->addWidget(new QLabel(QStringLiteral("String to change"), this), 0, 0);
    root->addWidget(new QLabel(QStringLiteral("Changed string"), this), 0, 1);
    m_grid = new QTableWidget(ReplacementTable::kRows, 2, this);
    m_grid->setObjectName(QStringLiteral("SReplace"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setColumnWidth(0, 150);
    m_grid->setColumnWidth(1, 150);
    m_grid->verticalHeader()->setDefaultSectionSize(18);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_grid->setToolTip(kGridHint);
    m_grid->setStyleSheet(QStringLiteral("background-color: black; color: lime; gridline-color: #004000;"));
    m_grid->setFixedWidth(150 * 2 + 4 + m_grid->verticalScrollBar()->sizeHint().width());
    m_grid->setMinimumHeight(18 * 14);
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (m_filling)
            return;
        const int row = item->row();
        const QTableWidgetItem *from = m_grid->item(row, 0);
        const QTableWidgetItem *to = m_grid->item(row, 1);
        m_table.setRow(row, from ? from->text() : QString(), to ? to->text() : QString());
    });
    root->addWidget(m_grid, 1, 0, 1, 2);

    m_useinRepeat = new QCheckBox(QStringLiteral("Use in server checker"), this);
    m_useinRepeat->setObjectName(QStringLiteral("UseinRepeat"));
    connect(m_useinRepeat, &QCheckBox::toggled, this, [this](bool on) { m_table.setUseInChecker(on); });
    root->addWidget(m_useinRepeat, 2, 0);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, [this, &sounds] {
        sounds.click(QStringLiteral("select.wav"));
        this->close();
    });
    root->addWidget(close, 2, 1, Qt::AlignRight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    // The storage keeps the window's position; the rows and the check box are the table's
    // own values in the same section, read and written with it.
    m_storage = new orv::frontend::TFormStorage(this, store);
    m_storage->setIniSection(QStringLiteral("String Replacer\\"));
    m_storage->setOptions(orv::frontend::TPlacementOption::fpPosition);
    connect(m_storage, &orv::frontend::TFormStorage::OnRestorePlacement, this, [this] { loadTable(); });
    connect(m_storage, &orv::frontend::TFormStorage::OnSavePlacement, this, [this] {
        if (const platform::Status saved = saveTable(); !saved)
            reportError(saved.error().message);
    });
    // A table that could not be stored is lost at the next start: the user must hear of it,
    // and of the reason (the settings file that could not be locked or written) rather than
    // of the value that happened to be written first.
    m_storage->setErrorHandler([this](const QString &text) {
        const QString cause = m_storage->lastFailureCause();
        reportError(cause.isEmpty() ? text : cause);
    });
    showTable();
}

TSReplaceFrom::~TSReplaceFrom()
{
    orv::frontend::TFormStorage::formDestroying(this);
}

void TSReplaceFrom::reportError(const QString &text)
{
    if (m_errorSink) {
        m_errorSink(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Orvane"), text, QMessageBox::Ok, this);
    box.exec();
}

void TSReplaceFrom::showTable()
{
    m_filling = true;
    for (int row = 0; row < ReplacementTable::kRows; ++row) {
        const ReplacementTable::Row &r = m_table.row(row);
        m_grid->setItem(row, 0, new QTableWidgetItem(r.from));
        m_grid->setItem(row, 1, new QTableWidgetItem(r.to));
    }
    m_useinRepeat->setChecked(m_table.useInChecker());
    m_filling = false;
}

void TSReplaceFrom::loadTable()
{
    m_table.load(m_store);
    showTable();
}

platform::Status TSReplaceFrom::saveTable()
{
    return m_table.save(m_store);
}

} // namespace orv::checker::ui
