// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QAbstractTableModel>

#include "orv/engine/serverentry.h"

namespace orv::engine {

// The rows of one server view: ServerEntry values in view order, 26 columns and the
// Country column (kColumnCountry: the two-letter code of the row's address, empty when
// unknown). The view shows the texts; the row's icon index (0-9) is offered under
// IconIndexRole, and the front end maps it to a picture. The first column and the headers
// are worded by the front end (setWording); without words the first column shows the
// caption as it is and the headers are empty.
class ServerListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role { IconIndexRole = Qt::UserRole + 1 };

    // Row positions are 16-bit: a view holds at most this many rows.
    static constexpr int kMaxRows = 65535;

    using RowWording = std::function<QString(const ServerEntry &entry)>;
    using ColumnWording = std::function<QString(int column)>;

    explicit ServerListModel(QObject *parent = nullptr);

    void setWording(RowWording rowCaption, ColumnWording columnCaption);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Byte order of the column's texts (letter case significant, numbers as text).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const std::vector<ServerEntry> &rows() const { return m_rows; }
    const ServerEntry &row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    int size() const { return static_cast<int>(m_rows.size()); }

    void clear();
    // Replaces every row at once (one reset, no per-row repaint); rows past kMaxRows are dropped.
    void setRows(std::vector<ServerEntry> rows);
    // False when the view is full.
    bool appendRow(ServerEntry entry);
    // Replaces one row and reports the change of that row only.
    void setRow(int index, ServerEntry entry);
    void removeRowAt(int index);

    // The text of a column as shown, the Country column included.
    QString text(int row, int column) const;

    // The first row of this server.
    std::optional<int> FindRow(const ServerAddress &server) const;
    // The first row of a line that names no server, by the line's words.
    std::optional<int> FindUnaddressedRow(const AddressWords &words) const;
    // The first row of the same server as the entry (by its words when it names none).
    std::optional<int> FindRowOf(const ServerEntry &entry) const
    {
        return entry.address ? FindRow(*entry.address) : FindUnaddressedRow(entry.words());
    }

private:
    std::vector<ServerEntry> m_rows;
    RowWording m_rowCaption;
    ColumnWording m_columnCaption;
};

} // namespace orv::engine
