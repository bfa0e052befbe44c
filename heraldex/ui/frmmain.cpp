// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/ui/frmmain.h"

namespace heraldex::ui {

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Heraldex"));
}

} // namespace heraldex::ui
