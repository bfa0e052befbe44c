// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/truefalsebox.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace orv::tools {

TrueFalseBox::TrueFalseBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems({QStringLiteral("True"), QStringLiteral("False")});
    connect(this, &QComboBox::activated, this, [this] { emit committed(); });
}

void TrueFalseBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit committed();
}

void TrueFalseBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit committed();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace orv::tools
