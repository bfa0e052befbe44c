// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/outputpane.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillet::ui {

namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;
constexpr int kMarkRole = Qt::UserRole + 2;

} // namespace

OutputPane::OutputPane(QWidget *parent)
    : QDockWidget(tr("Output"), parent)
{
    setObjectName(QStringLiteral("OutputPane"));
    setFeatures(QDockWidget::DockWidgetClosable);
    auto *body = new QWidget(this);
    m_list = new QListWidget(body);
    m_list->setObjectName(QStringLiteral("OutputList"));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const int iconSide = m_list->fontMetrics().height() - 2;
    m_list->setIconSize(QSize(iconSide, iconSide));
    m_stop = new QToolButton(body);
    m_stop->setText(tr("Stop"));
    m_stop->setToolTip(tr("Stop the running build or search"));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    m_stop->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_stop->setEnabled(false);
    auto *buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_stop);
    buttons->addStretch(1);
    auto *layout = new QHBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    setWidget(body);

    connect(m_stop, &QToolButton::clicked, this, &OutputPane::stopRequested);
    connect(m_list, &QListWidget::itemActivated, this, &OutputPane::activate);
}

void OutputPane::clear()
{
    m_list->clear();
}

void OutputPane::appendLine(const QString &text, Mark mark, const SourceLocation &location)
{
    appendLines({text}, mark, {location});
}

void OutputPane::appendLines(const QStringList &texts, Mark mark, const QList<SourceLocation> &locations)
{
    QIcon icon;
    QColor colour;
    switch (mark) {
    case Mark::Error:
        icon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
        colour = QColor(0xB0, 0x00, 0x20);
        break;
    case Mark::Warning:
        icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
        colour = QColor(0x99, 0x55, 0x00);
        break;
    case Mark::Hit:
        colour = QColor(0x00, 0x33, 0x88);
        break;
    case Mark::None:
        break;
    }
    // Follow the end only when the user has not scrolled away from it.
    const bool atEnd =
        m_list->count() == 0 || m_list->verticalScrollBar()->value() == m_list->verticalScrollBar()->maximum();
    m_list->setUpdatesEnabled(false);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        auto *item = new QListWidgetItem(texts[i]);
        const SourceLocation location = i < locations.size() ? locations[i] : SourceLocation{};
        if (mark != Mark::None && !location.file.isEmpty()) {
            item->setData(kFileRole, location.file);
            item->setData(kLineRole, location.line);
            item->setData(kMarkRole, static_cast<int>(mark));
            item->setIcon(icon);
            if (colour.isValid())
                item->setForeground(colour);
            item->setToolTip(tr("Double-click to open %1 at line %2").arg(location.file).arg(location.line));
        } else if (mark != Mark::None) {
            // Marked by its form, but the file was not found: coloured, without a place to go.
            item->setData(kMarkRole, static_cast<int>(mark));
            item->setIcon(icon);
            if (colour.isValid())
                item->setForeground(colour);
        }
        m_list->addItem(item);
    }
    m_list->setUpdatesEnabled(true);
    if (atEnd)
        m_list->scrollToBottom();
}

void OutputPane::appendCompilerLine(const QString &text, const QString &buildDir)
{
    const std::optional<core::CompilerMessage> message = core::parseCompilerMessage(text);
    if (!message) {
        appendLine(text);
        return;
    }
    const Mark mark = message->kind == core::MessageKind::Warning ? Mark::Warning : Mark::Error;
    appendLine(text, mark, {core::resolveScriptPath(message->file, buildDir), message->line});
}

bool OutputPane::gotoNext()
{
    return step(1);
}

bool OutputPane::gotoPrevious()
{
    return step(-1);
}

bool OutputPane::step(int direction)
{
    const int count = m_list->count();
    if (count == 0)
        return false;
    int row = m_list->currentRow();
    if (row < 0)
        row = direction > 0 ? -1 : count;
    for (int n = 0; n < count; ++n) {
        row = ((row + direction) % count + count) % count;
        QListWidgetItem *item = m_list->item(row);
        if (!item->data(kFileRole).toString().isEmpty()) {
            m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            m_list->scrollToItem(item);
            activate(item);
            return true;
        }
    }
    return false;
}

void OutputPane::activate(QListWidgetItem *item)
{
    if (!item)
        return;
    const QString file = item->data(kFileRole).toString();
    if (file.isEmpty())
        return;
    emit locationActivated({file, item->data(kLineRole).toInt()});
}

void OutputPane::setRunning(bool running)
{
    m_running = running;
    m_stop->setEnabled(running);
}

int OutputPane::lineCount() const
{
    return m_list->count();
}

QString OutputPane::lineText(int row) const
{
    QListWidgetItem *item = m_list->item(row);
    return item ? item->text() : QString();
}

OutputPane::Mark OutputPane::lineMark(int row) const
{
    QListWidgetItem *item = m_list->item(row);
    return item ? static_cast<Mark>(item->data(kMarkRole).toInt()) : Mark::None;
}

int OutputPane::currentRow() const
{
    return m_list->currentRow();
}

} // namespace quillet::ui
