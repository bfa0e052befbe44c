// SPDX-License-Identifier: GPL-3.0-or-later
// The browser program: one instance per user, a display large enough, the splash screen,
// then the browser built and wired by BrowserApp until its main window closes. Started
// with an unreal:// link, it joins that server instead (or hands the link to the
// instance that runs) and ends.
#include <cstdio>
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
    platform::commandline::ProgramInfo commandLine{
        QStringLiteral("orv"), QStringLiteral("Orvane: browses Unreal and Unreal Tournament game servers."), true,
        true};
    commandLine.operandUsage = QStringLiteral("[unreal://ADDRESS[:PORT][?password=PASSWORD]]");
    commandLine.operandHelp =
        QStringLiteral("With a server link, asks the server which game it runs and joins it with the default player\n"
                       "preset, without showing the browser; a running Orvane takes the link over.\n"
                       "Exit status: 0 when the game started, 1 when the server or game could not be reached,\n"
                       "2 for bad arguments.");
    QStringList operands;
    if (const auto exitStatus = platform::commandline::handle(commandLine, argc, argv, &operands))
        return *exitStatus;
    if (operands.size() > 1) {
        std::fputs("orv: only one server link can be followed at a time\nTry 'orv --help' for the accepted options.\n",
                   stderr);
        return 2;
    }
    const QString link = operands.isEmpty() ? QString() : operands.constFirst();
    if (!link.isEmpty() && !link.startsWith(QStringLiteral("unreal://"), Qt::CaseInsensitive)) {
        const QByteArray text = QStringLiteral("orv: '%1' is not an unreal:// link\nTry 'orv --help' for the accepted "
                                               "options.\n")
                                    .arg(link)
                                    .toLocal8Bit();
        std::fputs(text.constData(), stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvane.Orvane"));
    BrowserApp::prepareApplication(app);

    SingleInstance instance(QStringLiteral("orvane"), link);
    if (!instance.isPrimary()) {
        // Another instance runs: it has been asked to come to the front, or to follow the link.
        return 0;
    }

    if (!link.isEmpty()) {
        // Started for the link alone: no splash, no main window, no first-run questions.
        try {
            BrowserApp browser;
            return browser.openLink(link, false);
        } catch (const std::exception &) {
            std::fputs("orv: the browser could not be prepared to follow the link\n", stderr);
            return 1;
        }
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
        BrowserApp *running = browser.get();
        // Queued: the link is followed from the event loop, not inside the socket's handler.
        QObject::connect(
            &instance, &SingleInstance::linkReceived, running,
            [running](const QString &received) { running->openLink(received, true); }, Qt::QueuedConnection);
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
