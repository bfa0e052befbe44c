// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QList>

#include "orv/tools/tbiggerinifile.h"

namespace orv::tools {

class IniEditSession;

// The key/value grid of the INI editor: one row per line of the shown section. Edits go
// straight through the editing session, so the store always holds what the grid shows;
// an edit the store refuses leaves the cell as it was.
class IniValuesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { KeyColumn = 0, ValueColumn = 1 };

    explicit IniValuesModel(IniEditSession &session, QObject *parent = nullptr);

    void showSection(const QByteArray &section, const QList<IniRow> &rows);
    void clear();
    const QByteArray &section() const { return m_section; }
    const IniRow &row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    IniEditSession &m_session;
    QByteArray m_section;
    QList<IniRow> m_rows;
};

} // namespace orv::tools
