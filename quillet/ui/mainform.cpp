// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/mainform.h"

#include <QMdiArea>

namespace quillet::ui {

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillet"));
    setCentralWidget(new QMdiArea(this));
}

} // namespace quillet::ui
