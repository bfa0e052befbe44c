// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/inivaluesmodel.h"

#include "orv/tools/inieditsession.h"
#include "orv/tools/inilines.h"
#include "platform/textfile.h"

namespace orv::tools {

using platform::textfile::fromAnsi;
using platform::textfile::toAnsi;

namespace {

// A key that the file itself writes with a leading number ("2.Odd") carries one more prefix
// in the working copy, so that saving gives it back as it was. That prefix is not shown:
// the length of it, or 0 for keys whose prefix (if any) is the editor's own numbering.
qsizetype hiddenPrefixLength(const QByteArray &key)
{
    const qsizetype outer = inilines::numberPrefixLength(key);
    return outer > 0 && inilines::numberPrefixLength(QByteArrayView(key).sliced(outer)) > 0 ? outer : 0;
}

} // namespace

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
    return fromAnsi(index.column() == KeyColumn ? row.key.sliced(hiddenPrefixLength(row.key)) : row.value);
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
        const qsizetype hidden = hiddenPrefixLength(row.key);
        if (text == row.key.sliced(hidden))
            return true;
        const QByteArray key = row.key.first(hidden) + text;
        if (!m_session.renameKey(m_section, index.row(), key))
            return false;
        row.key = key;
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

} // namespace orv::tools
