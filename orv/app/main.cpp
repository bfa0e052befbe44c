// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "orv/frontend/mainform.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));

    orv::frontend::TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
