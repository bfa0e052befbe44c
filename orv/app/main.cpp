// SPDX-License-Identifier: GPL-3.0-or-later
// The browser's composition root: builds the settings store, the engine, the sound
// service and the windows in their fixed order, and wires them together.
#include <optional>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "orv/checker/replacementtable.h"
#include "orv/checker/ui/repeatform.h"
#include "orv/checker/ui/repeatlistform.h"
#include "orv/checker/ui/sreplacefrom.h"
#include "orv/engine/ping.h"
#include "orv/engine/queryengine.h"
#include "orv/frontend/mainwindow/aboutform.h"
#include "orv/frontend/mainwindow/apptheme.h"
#include "orv/frontend/mainwindow/debugform.h"
#include "orv/frontend/listtools/favorites.h"
#include "orv/frontend/listtools/filters.h"
#include "orv/frontend/listtools/findform.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/gamelauncher.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/mainwindow/mainformstorage.h"
#include "orv/frontend/netforms/optionsform.h"
#include "orv/frontend/netforms/serversform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/netforms/serversources.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/singleinstance.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "orv/frontend/mainwindow/soundsform.h"
#include "orv/frontend/mainwindow/splashform.h"
#include "orv/tools/ui/tclansform.h"
#include "orv/tools/ui/tiniform.h"
#include "platform/paths.h"
#include "platform/registrystore.h"
#include "platform/sound.h"
#include "platform/textfile.h"

using namespace orv::frontend;
using orv::checker::ui::TRepeatForm;
using orv::checker::ui::TRepeatListForm;
using orv::checker::ui::TSReplaceFrom;
using orv::tools::TClansForm;
using orv::tools::TINIForm;

namespace {

// Files the browser ships and copies into its folder on first start, so the user can
// change them there.
const QStringList kShippedFiles = {
    QStringLiteral("amp.wav"),      QStringLiteral("beep.wav"),     QStringLiteral("confirm.wav"),
    QStringLiteral("dropdown.wav"), QStringLiteral("exit.wav"),     QStringLiteral("prepare.wav"),
    QStringLiteral("respawn.wav"),  QStringLiteral("select.wav"),   QStringLiteral("shot.wav"),
    QStringLiteral("whawhaw.wav"),  QStringLiteral("u_skins.lst"),  QStringLiteral("u_skins.bmp"),
    QStringLiteral("ut_skins.lst"), QStringLiteral("ut_skins.bmp"), QStringLiteral("ut_voices.lst"),
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    IconProvider::initResources();
    applyTheme(app);
    QApplication::setWindowIcon(IconProvider::programIcon());

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

    TSplashForm splash;
    splash.show();
    QCoreApplication::processEvents();
    splash.stepIt();
    QApplication::setApplicationDisplayName(QStringLiteral("Orvane"));

    platform::paths::copyMissingShippedFiles(kShippedFiles);

    platform::SoundService soundService;
    SoundBank sounds(soundService);
    orv::engine::QueryEngine engine;
    engine.setPinger([](const QString &address) { return orv::engine::PingHost(address); });

    // The user's replacements of reported values, applied by the decoder from the first
    // reply on; loaded with the string replacer's settings at start-up.
    orv::checker::ReplacementTable replacementTable;
    engine.setValueReplacer(replacementTable.replacer());

    platform::RegistryStore settings(platform::RegistryRoot::CurrentUser);
    // Held from the end of the event loop until every window has saved its settings, so
    // the saves of program end cost one write of the store.
    std::optional<platform::RegistryStore::Batch> closingSaves;

    // The windows, created once in their fixed order and kept until the program ends. A
    // window that another one needs is made before it (the general options before the
    // master-list download that reads them, the progress window before the find window).
    TMainForm mainForm(engine, sounds);
    // The filters own the "Reiterative filter" item the main window's storage keeps, so
    // they come before the storages.
    auto *filters = new Filters(mainForm, engine, nullptr, &mainForm);
    attachMainFormStorages(mainForm, settings);
    auto *favorites = new Favorites(mainForm, engine, &mainForm);
    TServersForm serversWindow(settings, &mainForm);
    splash.setProgress(4);
    TAboutForm about(soundService, &mainForm);
    splash.setProgress(5);
    TOptionsForm options(settings, &mainForm);
    ServerSources sources(engine, options, serversWindow, &mainForm);
    TClansForm clans(sources.downloader(), &mainForm);
    clans.setWindowFlag(Qt::Window);
    clans.setProxySource([&options] { return options.proxySettings(); });
    splash.setProgress(8);
    TUnrealOptionsForm gameOptions(settings, sounds, &mainForm);
    TINIForm iniEditor(&mainForm);
    iniEditor.setWindowFlag(Qt::Window);
    auto *iniStorage = new TFormStorage(&iniEditor, settings);
    iniStorage->setIniSection(TINIForm::settingsSection());
    iniStorage->setOptions(TPlacementOption::fpPosition);
    iniStorage->setStoredProps(TINIForm::storedProperties());
    QObject::connect(&iniEditor, &TINIForm::destroying, &iniEditor,
                     [](QWidget *form) { TFormStorage::formDestroying(form); });
    splash.setProgress(10);
    TDebugForm logWindow(&mainForm);
    splash.setProgress(11);
    TBuldingListForm buildingList(&mainForm);
    filters->setProgressWindow(&buildingList);
    gameOptions.setProgressWindow(&buildingList);
    TFindForm findForm(mainForm, engine, sounds, &buildingList, &mainForm);
    TFindForm::attachStorage(findForm, settings);
    splash.setProgress(14);
    TRepeatForm repeatForm(engine, settings, sounds, &mainForm);
    repeatForm.setWindowFlag(Qt::Window);
    splash.setProgress(15);
    TSoundsForm soundsWindow(sounds, &mainForm);
    auto *soundsStorage = new TFormStorage(&soundsWindow, settings);
    soundsStorage->setIniSection(QStringLiteral("Main options"));
    soundsStorage->setOptions({});
    soundsStorage->setStoredProps({QStringLiteral("Exit.Text"), QStringLiteral("Refresh.Text"),
                                   QStringLiteral("Startgame.Text")});
    splash.setProgress(16);
    TRepeatListForm repeatListForm(engine, settings, sounds, &mainForm);
    splash.setProgress(17);
    TSReplaceFrom stringReplacer(replacementTable, settings, sounds, &mainForm);

    GameLauncher launcher(mainForm, engine, gameOptions, sounds);
    LauncherHooks launchHooks;
    launchHooks.whenStart = [&options] { return options.whenStart(); };
    launchHooks.continueRefresh = [&options] { return options.continueRefresh(); };
    launchHooks.beaconSign2 = [&options] { return options.engineOptions().beaconSign2; };
    launchHooks.startSound = [&soundsWindow] { return soundsWindow.startGameSound(); };
    launchHooks.checkerRunning = [&repeatForm] { return repeatForm.isRunning(); };
    launcher.setHooks(launchHooks);
    repeatForm.setFavorites(favorites);
    repeatForm.setLauncher(&launcher);
    repeatForm.setPlayerPresetNames([&gameOptions] { return gameOptions.presetNames(); });
    repeatForm.setReplaceInChecker([&replacementTable] { return replacementTable.useInChecker(); });
    repeatForm.attachTo(mainForm, repeatListForm);
    QObject::connect(&gameOptions, &TUnrealOptionsForm::stringReplacerRequested, &stringReplacer, &QWidget::show);
    QObject::connect(&launcher, &GameLauncher::optionsWindowRequested, &gameOptions, &QWidget::show);
    QObject::connect(&gameOptions, &TUnrealOptionsForm::exitRequested, &mainForm,
                     [&mainForm] { mainForm.action(QStringLiteral("A_Exit"))->trigger(); });
    mainForm.setPlayerIcons([&gameOptions](int index) { return gameOptions.playerIcon(index); });

    // The engine reads the general options as they stand whenever they may have changed.
    const auto applyOptions = [&engine, &options, &sounds] {
        engine.setOptions(options.engineOptions());
        sounds.setEnabled(options.useSounds());
    };
    QObject::connect(&options, &QDialog::finished, &mainForm, applyOptions);
    QObject::connect(&options, &TOptionsForm::soundsSwitched, &sounds, &SoundBank::setEnabled);
    QObject::connect(&options, &TOptionsForm::soundsWindowRequested, &soundsWindow, &QWidget::show);
    QObject::connect(&options, &TOptionsForm::serversListsWindowRequested, &serversWindow, &QWidget::show);
    QObject::connect(&options, &TOptionsForm::smallImagesChanged, &mainForm,
                     [&mainForm](bool small) { mainForm.setSmallImages(small); });
    QObject::connect(&options, &TOptionsForm::serversListFontChanged, &mainForm,
                     [&mainForm](const QFont &font) { mainForm.setServersListFont(font); });
    QObject::connect(&options, &TOptionsForm::playersListFontChanged, &mainForm,
                     [&mainForm](const QFont &font) { mainForm.playersList()->setFont(font); });
    QObject::connect(&sources, &ServerSources::logLine, &mainForm, &TMainForm::log);
    QObject::connect(&clans, &TClansForm::clickSound, &sounds, &SoundBank::click);
    QObject::connect(&clans, &TClansForm::logLine, &mainForm, &TMainForm::log);
    engine.setCheckerRunning(false, false);

    mainForm.setLogWindow(&logWindow);
    logWindow.setReplyStoreAccess(
        [&engine] {
            QStringList lines;
            for (const QByteArray &line : engine.currentReplies().lines())
                lines.append(platform::textfile::fromAnsi(line));
            return lines;
        },
        [&engine](const QString &path) {
            auto bytes = platform::textfile::readAll(path);
            if (!bytes)
                return false;
            engine.setReplies(engine.currentPage(), platform::textfile::splitLines(*bytes));
            return true;
        });

    MainFormHooks hooks;
    hooks.buildInternetList = [&] {
        applyOptions();
        const orv::net::BuildOutcome outcome = sources.BuildInternetList();
        return outcome == orv::net::BuildOutcome::Downloaded || outcome == orv::net::BuildOutcome::LoadedFromCache;
    };
    hooks.discoverLocal = [&] {
        applyOptions();
        sources.DiscoverLocal();
    };
    hooks.autoOpenChoice = [&options] { return options.autoOpen(); };
    hooks.minimizeToTray = [&options] { return options.minimizeToTray(); };
    hooks.playerIcon = [&](const orv::engine::ServerInfo &info, const orv::engine::PlayerEntry &player) {
        return gameOptions.playerIconIndex(info, player, options.engineOptions().beaconSign1);
    };
    hooks.firstRun = [&gameOptions] {
        gameOptions.SearchButtonClick();
        gameOptions.exec();
    };
    hooks.loadOtherSettings = [&] {
        // The other windows' settings, in the order the browser has always loaded them.
        for (TFormStorage *storage :
             {gameOptions.FormStorage1(), gameOptions.FormStorage2(), options.FormStorage1(),
              serversWindow.FormStorage1(), soundsStorage, repeatForm.formStorage1(), repeatForm.formStorage2(),
              stringReplacer.formStorage()}) {
            if (storage)
                (void)storage->LoadSettings();
        }
        gameOptions.loadSkinLists();
        applyOptions();
        options.setCurrentFonts(mainForm.currentView()->font(), mainForm.playersList()->font());
    };
    hooks.showWindow = [&](const QString &name) {
        if (name == QLatin1String("About"))
            about.show();
        else if (name == QLatin1String("INIEditor"))
            iniEditor.show();
        else if (name == QLatin1String("Filter"))
            filters->openMenu(QCursor::pos());
        else if (name == QLatin1String("Find"))
            findForm.toggle();
        else if (name == QLatin1String("GeneralOptions"))
            options.show();
        else if (name == QLatin1String("UnrealOptions"))
            gameOptions.show();
        else if (name == QLatin1String("Clans")) {
            clans.show();
            clans.raise();
            clans.activateWindow();
        }
    };
    hooks.showFavorites = [favorites] { favorites->showFavorites(); };
    hooks.exitSound = [&] { return launcher.isExitSoundSuppressed() ? QString() : soundsWindow.exitSound(); };
    mainForm.setHooks(std::move(hooks));

    QObject::connect(&instance, &SingleInstance::activationRequested, &mainForm, [&mainForm] {
        mainForm.showNormal();
        mainForm.raise();
        mainForm.activateWindow();
    });

    splash.close();
    mainForm.show();
    const int exitCode = QApplication::exec();
    closingSaves.emplace(settings);
    return exitCode;
}
