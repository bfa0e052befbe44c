// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainform.h"

namespace orv::frontend {

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Orvane"));
    setMinimumSize(800, 580);
    resize(800, 580);
}

} // namespace orv::frontend
