// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QHeaderView>
#include <QStackedWidget>

class QListView;
class QTreeView;
class QAbstractItemModel;
class QItemSelectionModel;

namespace orv::frontend {

// View styles of a list, in the order the settings store numbers them.
enum class ViewStyle { Icon, SmallIcon, List, Report };

// A column header that draws the sort marker (image 10 descending, 11 ascending) on the
// one column that carries it.
class MarkerHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit MarkerHeader(QWidget *parent = nullptr);
    // -1 removes the marker.
    void setMarker(int column, int image);
    int markerColumn() const { return m_column; }
    int markerImage() const { return m_image; }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;

private:
    int m_column = -1;
    int m_image = -1;
};

// A server or players list: report view with columns, or large icons, over one model that
// the view never sorts by itself. Row icons arrive from the model as indexes and are drawn
// from the given icon source.
class ServerView : public QStackedWidget
{
    Q_OBJECT
    // The style as the settings keep it: 0 vsIcon, 1 vsSmallIcon, 2 vsList, 3 vsReport.
    Q_PROPERTY(int ViewStyle READ viewStyleIndex WRITE setViewStyleIndex)
    Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
    using IconSource = std::function<QIcon(int index)>;
    // The role under which models hand out the picture index of a row (column 0).
    static constexpr int kIconIndexRole = Qt::UserRole + 1;

    explicit ServerView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model, IconSource icons);
    QAbstractItemModel *model() const;
    QTreeView *report() const { return m_report; }
    QListView *icons() const { return m_icons; }
    MarkerHeader *header() const { return m_header; }
    QItemSelectionModel *selectionModel() const;

    ViewStyle viewStyle() const { return m_style; }
    void setViewStyle(ViewStyle style);
    int viewStyleIndex() const { return static_cast<int>(m_style); }
    void setViewStyleIndex(int index);

    // The sort column the settings keep as the view's tag.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The current row, or -1.
    int currentRow() const;
    void selectRow(int row);
    void setIconSize(int small, int large);

signals:
    void rowActivated(int row);
    void columnClicked(int column);
    void contextMenuRequested(const QPoint &globalPos);

private:
    QTreeView *m_report;
    QListView *m_icons;
    MarkerHeader *m_header;
    ViewStyle m_style = ViewStyle::Report;
    int m_tag = 1;
};

// The panel below the server lists that holds the players list. Its stored height is
// applied through the splitter it sits in.
class PlayersPanel : public QWidget
{
    Q_OBJECT

public:
    explicit PlayersPanel(QWidget *parent = nullptr);
    int panelHeight() const { return height(); }
    void setPanelHeight(int height);
};

} // namespace orv::frontend
