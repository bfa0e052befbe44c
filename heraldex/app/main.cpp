// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QIcon>
#include <QNetworkProxyFactory>

#include "heraldex/ui/frmmain.h"
#include "platform/commandline.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"

int main(int argc, char *argv[])
{
    const platform::commandline::ProgramInfo commandLine{
        QStringLiteral("Heraldex"),
        QStringLiteral("Heraldex: announces friends and foes joining an Unreal Tournament server."), false, true};
    if (const auto exitStatus = platform::commandline::handle(commandLine, argc, argv))
        return *exitStatus;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Heraldex"));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvane.Heraldex"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/heraldex.svg")));
    // The window lives on under the tray icon; only "Exit" or closing it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // The page download goes through the proxy the desktop is set up with.
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    platform::RegistryStore machineStore(platform::RegistryRoot::LocalMachine);
    platform::SoundService sound;
    heraldex::ui::frmMain mainForm(machineStore, sound);
    QObject::connect(&mainForm, &heraldex::ui::frmMain::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    mainForm.show();
    return QApplication::exec();
}
