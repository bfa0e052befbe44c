// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/inivaluesmodel.h"

#include "orv/tools/inieditsession.h"
#include "platform/textfile.h"

namespace orv::tools {

using platform::textfile::fromAnsi;
using platform::textfile::toAnsi;

IniValuesModel::IniValuesModel(IniEditSession &session, QObject *parent)
    : QAbstractTableModel(parent)
    , m_session(session)
{}

void IniValuesModel::showSection(const QByteArray &section, const QList<IniRow> &rows)
{
    beginResetModel();
    m_section = section;
    m_rows = rows;
    endResetModel();
}

void IniValuesModel::clear()
{
    showSection({}, {});
}

int IniValuesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int IniValuesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant IniValuesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const IniRow &row = m_rows.at(index.row());
    return fromAnsi(index.column() == KeyColumn ? row.key : row.value);
}

QVariant IniValuesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == KeyColumn ? tr("Key") : tr("Value");
}

Qt::ItemFlags IniValuesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // A comment or any other line without "=" has no key to write under: it stays as it is.
    if (index.row() < m_rows.size() && m_rows.at(index.row()).hasKey)
        f |= Qt::ItemIsEditable;
    return f;
}

bool IniValuesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= m_rows.size())
        return false;
    IniRow &row = m_rows[index.row()];
    if (!row.hasKey)
        return false;
    const QByteArray text = toAnsi(value.toString());
    if (index.column() == ValueColumn) {
        if (text == row.value)
            return true;
        if (!m_session.writeValue(m_section, row.key, text))
            return false;
        row.value = text;
    } else {
        if (text == row.key)
            return true;
        if (!m_session.renameKey(m_section, index.row(), text))
            return false;
        row.key = text;
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

} // namespace orv::tools
