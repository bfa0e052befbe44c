// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

namespace orv::tools {

// The grid's own cell editor, writing a value cell's text at every change rather than
// only when editing ends, so the store never lags behind what the user sees.
class IniValueDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit IniValueDelegate(QAbstractItemModel &model, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QAbstractItemModel &m_model;
};

} // namespace orv::tools
