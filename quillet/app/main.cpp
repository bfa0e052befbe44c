// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "platform/registrystore.h"
#include "quillet/ui/mainform.h"
#include "quillet/ui/userprompts.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));

    platform::RegistryStore settings(platform::RegistryRoot::CurrentUser);
    quillet::ui::DialogPrompts prompts;
    // Loads the editor options; on a first run this asks for them before the window shows.
    quillet::ui::TMainForm mainForm(settings, prompts);
    mainForm.showMaximized();
    return QApplication::exec();
}
