// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/serverview.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QListView>
#include <QPainter>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTreeView>

#include "orv/engine/serverentry.h"
#include "orv/frontend/mainwindow/iconprovider.h"

namespace orv::frontend {

namespace {

// The flag of a two-letter country code from the system's flag pictures (Debian's
// famfamfam-flag-png); an empty icon when they are not installed.
QIcon countryFlag(const QString &code)
{
    static QHash<QString, QIcon> flags;
    const auto found = flags.constFind(code);
    if (found != flags.constEnd())
        return *found;
    const QString path = QStringLiteral("/usr/share/flags/countries/16x11/%1.png").arg(code.toLower());
    QIcon flag;
    if (QFileInfo::exists(path))
        flag = QIcon(path);
    flags.insert(code, flag);
    return flag;
}

// Models hand out row icons as indexes; this delegate turns them into pictures, and puts
// each country's flag before its code.
class IconIndexDelegate : public QStyledItemDelegate
{
public:
    IconIndexDelegate(ServerView::IconSource icons, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_icons(icons)
    {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == orv::engine::kColumnCountry && index.model()->columnCount() > index.column()) {
            const QString code = index.data().toString();
            if (const QIcon flag = code.isEmpty() ? QIcon() : countryFlag(code); !flag.isNull()) {
                option->icon = flag;
                option->decorationSize = QSize(16, 11);
                option->features |= QStyleOptionViewItem::HasDecoration;
            }
            return;
        }
        if (!m_icons || index.column() != 0)
            return;
        const QVariant picture = index.data(ServerView::kIconIndexRole);
        if (picture.typeId() == QMetaType::Int) {
            option->icon = m_icons(picture.toInt());
            option->features |= QStyleOptionViewItem::HasDecoration;
        }
    }

private:
    ServerView::IconSource m_icons;
};

// Both views of a list report right clicks the same way.
template <typename View> class MenuView : public View
{
public:
    using View::View;
    std::function<void(const QPoint &)> onMenu;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        if (onMenu)
            onMenu(event->globalPos());
    }
};

} // namespace

MarkerHeader::MarkerHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    // The header keeps the sort column and direction as its sort indicator, so the style
    // treats the sections as sortable; the marker itself is drawn from the row pictures.
    setSortIndicatorShown(true);
    setSortIndicator(-1, Qt::AscendingOrder);
}

void MarkerHeader::setMarker(int column, int image)
{
    m_column = column;
    m_image = image;
    setSortIndicator(image < 0 ? -1 : column,
                     image == IconProvider::kDescendingMarker ? Qt::DescendingOrder : Qt::AscendingOrder);
    viewport()->update();
}

void MarkerHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // The style's own arrow would stand beside the marker picture.
    option->sortIndicator = QStyleOptionHeader::None;
}

void MarkerHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // The style sheet's section drawing leaves its own painter state behind (the marker
    // drawn after it never showed): draw the section on a saved state.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != m_column || m_image < 0 || rect.width() < 20)
        return;
    const QPixmap marker = IconProvider::rowPixmap(m_image, 16);
    painter->drawPixmap(rect.right() - 18, rect.center().y() - 8, marker);
}

ServerView::ServerView(QWidget *parent)
    : QStackedWidget(parent)
    , m_header(nullptr)
{
    auto *report = new MenuView<QTreeView>(this);
    auto *icons = new MenuView<QListView>(this);
    report->onMenu = [this](const QPoint &pos) { emit contextMenuRequested(pos); };
    icons->onMenu = report->onMenu;
    m_report = report;
    m_icons = icons;

    m_header = new MarkerHeader(m_report);
    m_report->setHeader(m_header);
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_report->setUniformRowHeights(true);
    m_report->setAllColumnsShowFocus(true);
    m_report->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_report->setSelectionMode(QAbstractItemView::SingleSelection);
    m_report->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The view never sorts the model itself (the engine sorts its rows on request), but
    // turning its sorting off also makes the header unclickable: give the clicks back.
    m_report->setSortingEnabled(false);
    m_header->setSectionsClickable(true);
    m_header->setSortIndicatorShown(true);
    m_header->setStretchLastSection(false);
    m_header->setMinimumSectionSize(0);

    m_icons->setViewMode(QListView::IconMode);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setMovement(QListView::Static);
    m_icons->setWordWrap(true);
    m_icons->setUniformItemSizes(true);
    m_icons->setGridSize(QSize(110, 64));
    m_icons->setIconSize(QSize(32, 32));
    m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
    m_icons->setEditTriggers(QAbstractItemView::NoEditTriggers);

    addWidget(m_report);
    addWidget(m_icons);
    setIconSize(16, 32);

    connect(m_report, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit rowActivated(index.row()); });
    connect(m_icons, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit rowActivated(index.row()); });
    connect(m_header, &QHeaderView::sectionClicked, this, &ServerView::columnClicked);
}

void ServerView::setModel(QAbstractItemModel *model, IconSource icons)
{
    m_report->setItemDelegate(new IconIndexDelegate(icons, m_report));
    m_icons->setItemDelegate(new IconIndexDelegate(icons, m_icons));
    m_report->setModel(model);
    m_icons->setModel(model);
    // Both views share one selection, so switching the style keeps the selected row.
    m_icons->setSelectionModel(m_report->selectionModel());
}

QAbstractItemModel *ServerView::model() const
{
    return m_report->model();
}

QItemSelectionModel *ServerView::selectionModel() const
{
    return m_report->selectionModel();
}

void ServerView::setViewStyle(ViewStyle style)
{
    m_style = style;
    setCurrentWidget(style == ViewStyle::Report ? static_cast<QWidget *>(m_report) : m_icons);
}

void ServerView::setIconSize(int small, int large)
{
    m_report->setIconSize(QSize(small, small));
    m_icons->setIconSize(QSize(large, large));
}

void ServerView::setViewStyleIndex(int index)
{
    if (index >= static_cast<int>(ViewStyle::Icon) && index <= static_cast<int>(ViewStyle::Report))
        setViewStyle(static_cast<ViewStyle>(index));
}

int ServerView::currentRow() const
{
    const QItemSelectionModel *selection = selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void ServerView::selectRow(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_report->scrollTo(index);
}

PlayersPanel::PlayersPanel(QWidget *parent)
    : QWidget(parent)
{}

void PlayersPanel::setPanelHeight(int height)
{
    auto *splitter = qobject_cast<QSplitter *>(parentWidget());
    if (!splitter || height <= 0) {
        resize(width(), height);
        return;
    }
    QList<int> sizes = splitter->sizes();
    const int index = splitter->indexOf(this);
    if (index < 0 || sizes.size() != 2)
        return;
    const int total = sizes[0] + sizes[1];
    sizes[index] = qMin(height, qMax(total - 40, 0));
    sizes[1 - index] = total - sizes[index];
    splitter->setSizes(sizes);
}

} // namespace orv::frontend
