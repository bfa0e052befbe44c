// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/serverlistmodel.h"

#include <algorithm>

#include "orv/engine/countrylookup.h"

namespace orv::engine {

ServerListModel::ServerListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void ServerListModel::setWording(RowWording rowCaption, ColumnWording columnCaption)
{
    m_rowCaption = std::move(rowCaption);
    m_columnCaption = std::move(columnCaption);
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(size() - 1, 0));
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCountry);
}

int ServerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : size();
}

int ServerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kServerColumns + 1;
}

QVariant ServerListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= size() || index.column() > kColumnCountry)
        return {};
    const ServerEntry &entry = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case IconIndexRole:
        return entry.icon;
    default:
        return {};
    }
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_columnCaption ? m_columnCaption(section) : QString();
}

void ServerListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column > kColumnCountry)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> position(m_rows.size());
    for (size_t i = 0; i < position.size(); ++i)
        position[i] = static_cast<int>(i);
    // Texts compare by their character values, as shown; equal texts keep their order.
    // Countries and worded captions are found once per row, not once per comparison.
    std::vector<QString> shown;
    const bool worded = column == kColumnCountry || (column == kColumnCaption && m_rowCaption);
    if (worded) {
        shown.reserve(m_rows.size());
        for (int i = 0; i < size(); ++i)
            shown.push_back(text(i, column));
    }
    const auto key = [&](int r) -> const QString & {
        return worded ? shown[static_cast<size_t>(r)] : row(r).column(column);
    };
    std::stable_sort(position.begin(), position.end(), [&](int a, int b) {
        const int c = QString::compare(key(a), key(b), Qt::CaseSensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<ServerEntry> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newPosition(m_rows.size());
    for (size_t i = 0; i < position.size(); ++i) {
        sorted.push_back(std::move(m_rows[static_cast<size_t>(position[i])]));
        newPosition[static_cast<size_t>(position[i])] = static_cast<int>(i);
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(this->index(newPosition[static_cast<size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QString ServerListModel::text(int row, int column) const
{
    if (column == kColumnCountry) {
        const std::optional<ServerAddress> &address = this->row(row).address;
        return address ? CountryLookup::shared().countryOf(address->ip) : QString();
    }
    if (column == kColumnCaption && m_rowCaption)
        return m_rowCaption(this->row(row));
    return this->row(row).column(column);
}

void ServerListModel::clear()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ServerListModel::setRows(std::vector<ServerEntry> rows)
{
    if (rows.size() > static_cast<size_t>(kMaxRows))
        rows.resize(static_cast<size_t>(kMaxRows));
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

bool ServerListModel::appendRow(ServerEntry entry)
{
    if (size() >= kMaxRows)
        return false;
    beginInsertRows({}, size(), size());
    m_rows.push_back(std::move(entry));
    endInsertRows();
    return true;
}

void ServerListModel::setRow(int index, ServerEntry entry)
{
    if (index < 0 || index >= size())
        return;
    m_rows[static_cast<size_t>(index)] = std::move(entry);
    emit dataChanged(this->index(index, 0), this->index(index, kColumnCountry));
}

void ServerListModel::removeRowAt(int index)
{
    if (index < 0 || index >= size())
        return;
    beginRemoveRows({}, index, index);
    m_rows.erase(m_rows.begin() + index);
    endRemoveRows();
}

std::optional<int> ServerListModel::FindRow(const ServerAddress &server) const
{
    for (int i = 0; i < size(); ++i) {
        if (row(i).address == server)
            return i;
    }
    return std::nullopt;
}

std::optional<int> ServerListModel::FindUnaddressedRow(const AddressWords &words) const
{
    for (int i = 0; i < size(); ++i) {
        const ServerEntry &e = row(i);
        if (!e.address && e.words() == words)
            return i;
    }
    return std::nullopt;
}

} // namespace orv::engine
