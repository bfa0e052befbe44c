// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "heraldex/ui/frmmain.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Heraldex"));

    heraldex::ui::frmMain mainForm;
    mainForm.show();
    return QApplication::exec();
}
