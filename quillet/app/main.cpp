// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFileInfo>

#include "platform/commandline.h"
#include "platform/registrystore.h"
#include "quillet/ui/mainform.h"
#include "quillet/ui/userprompts.h"

int main(int argc, char *argv[])
{
    const platform::commandline::ProgramInfo commandLine{
        QStringLiteral("Quillet"), QStringLiteral("Quillet: edits UnrealScript (.uc) files."), true, false};
    QStringList files;
    if (const auto exitStatus = platform::commandline::handle(commandLine, argc, argv, &files))
        return *exitStatus;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvane.Quillet"));

    platform::RegistryStore settings(platform::RegistryRoot::CurrentUser);
    quillet::ui::DialogPrompts prompts;
    // Loads the editor options; on a first run this asks for them before the window shows.
    quillet::ui::TMainForm mainForm(settings, prompts);
    mainForm.showMaximized();
    for (const QString &file : files)
        mainForm.OpenScriptFile(QFileInfo(file).absoluteFilePath());
    return QApplication::exec();
}
