// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "quillet/ui/mainform.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));

    quillet::ui::TMainForm mainForm;
    mainForm.showMaximized();
    return QApplication::exec();
}
