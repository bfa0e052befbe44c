// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/inivaluedelegate.h"

#include <QLineEdit>
#include <QPersistentModelIndex>

namespace orv::tools {

IniValueDelegate::IniValueDelegate(QAbstractItemModel &model, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_model(model)
{}

QWidget *IniValueDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    // Values are written as they are typed; a key is renamed only when its edit ends, so
    // half-typed names never collide with the section's other keys.
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (line && index.column() == 1) {
        const QPersistentModelIndex target(index);
        QAbstractItemModel *model = &m_model;
        connect(line, &QLineEdit::textEdited, line, [model, target](const QString &text) {
            if (target.isValid())
                model->setData(target, text, Qt::EditRole);
        });
    }
    return editor;
}

} // namespace orv::tools
