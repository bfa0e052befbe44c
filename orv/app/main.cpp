// SPDX-License-Identifier: GPL-3.0-or-later
// The browser program: one instance per user, a display large enough, the splash screen,
// then the browser built and wired by BrowserApp until its main window closes.
#include <exception>
#include <memory>

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include "orv/browser/browserapp.h"
#include "orv/frontend/mainwindow/singleinstance.h"
#include "orv/frontend/mainwindow/splashform.h"
#include "platform/commandline.h"

using orv::browser::BrowserApp;
using orv::frontend::SingleInstance;
using orv::frontend::TSplashForm;

int main(int argc, char *argv[])
{
    const platform::commandline::ProgramInfo commandLine{
        QStringLiteral("orv"), QStringLiteral("Orvane: browses Unreal and Unreal Tournament game servers."), false,
        true};
    if (const auto exitStatus = platform::commandline::handle(commandLine, argc, argv))
        return *exitStatus;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvane.Orvane"));
    BrowserApp::prepareApplication(app);

    SingleInstance instance(QStringLiteral("orvane"));
    if (!instance.isPrimary()) {
        // Another instance runs: it has been asked to come to the front.
        return 0;
    }

    if (const QScreen *screen = QGuiApplication::primaryScreen();
        screen && !SingleInstance::displayLargeEnough(screen->size())) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Orvane"),
                        QStringLiteral("Minimal display resolution must be 800\u0445600 pixels!"), QMessageBox::Yes);
        box.exec();
        return 1;
    }

    // The program's name is the application name; no display name is set, since the
    // desktop would append it to every window's caption.
    std::unique_ptr<BrowserApp> browser;
    try {
        TSplashForm splash;
        splash.show();
        QCoreApplication::processEvents();
        splash.stepIt();
        browser = std::make_unique<BrowserApp>(&splash);
        QObject::connect(&instance, &SingleInstance::activationRequested, browser.get(), &BrowserApp::activate);
        splash.close();
        browser->show();
    } catch (const std::exception &) {
        // Whatever failed while the windows were made, the program cannot go on.
        browser.reset();
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Orvane"),
                        QStringLiteral("Orvane except some errors while loading!\n"
                                       "Check Windows system resources maybe is to low!"),
                        QMessageBox::Ok);
        box.exec();
        return 1;
    }
    return QApplication::exec();
}
