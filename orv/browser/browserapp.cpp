// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/browser/browserapp.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>

#include "orv/checker/ui/repeatform.h"
#include "orv/checker/ui/repeatlistform.h"
#include "orv/checker/ui/sreplacefrom.h"
#include "orv/core/gamefilesearch.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/gamelauncher.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/listtools/favorites.h"
#include "orv/frontend/listtools/filters.h"
#include "orv/frontend/listtools/findform.h"
#include "orv/frontend/mainwindow/aboutform.h"
#include "orv/frontend/mainwindow/apptheme.h"
#include "orv/frontend/mainwindow/debugform.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainformstorage.h"
#include "orv/frontend/mainwindow/soundsform.h"
#include "orv/frontend/mainwindow/splashform.h"
#include "orv/frontend/netforms/optionsform.h"
#include "orv/frontend/netforms/serversform.h"
#include "orv/frontend/netforms/serversources.h"
#include "orv/tools/ui/tclansform.h"
#include "orv/tools/ui/tiniform.h"
#include "platform/paths.h"
#include "platform/textfile.h"

using namespace orv::frontend;
using orv::checker::ui::TRepeatForm;
using orv::checker::ui::TRepeatListForm;
using orv::checker::ui::TSReplaceFrom;
using orv::tools::TClansForm;
using orv::tools::TINIForm;

namespace orv::browser {

namespace {

// Files the browser ships and copies into its folder on first start, so the user can
// change them there.
const QStringList kShippedFiles = {
    QStringLiteral("amp.wav"),       QStringLiteral("beep.wav"),     QStringLiteral("confirm.wav"),
    QStringLiteral("dropdown.wav"),  QStringLiteral("exit.wav"),     QStringLiteral("prepare.wav"),
    QStringLiteral("respawn.wav"),   QStringLiteral("select.wav"),   QStringLiteral("shot.wav"),
    QStringLiteral("whawhaw.wav"),   QStringLiteral("warning.wav"),  QStringLiteral("u_skins.lst"),
    QStringLiteral("u_skins.bmp"),   QStringLiteral("ut_skins.lst"), QStringLiteral("ut_skins.bmp"),
    QStringLiteral("ut_voices.lst"),
};

// The general options keep their radio choices as item indexes.
AutoOpen autoOpenOfIndex(int index)
{
    switch (index) {
    case 1:
        return AutoOpen::Internet;
    case 2:
        return AutoOpen::Local;
    case 3:
        return AutoOpen::Favorites;
    default:
        return AutoOpen::Nothing;
    }
}

WhenGameStarts whenGameStartsOfIndex(int index)
{
    switch (index) {
    case 0:
        return WhenGameStarts::Minimize;
    case 1:
        return WhenGameStarts::Terminate;
    default:
        return WhenGameStarts::KeepRunning;
    }
}

} // namespace

// The launcher's settings come from the general options, the sounds window and the
// checker; its dialogs and program starts are the standard ones.
class BrowserLauncherHost : public StandardLauncherHost
{
public:
    BrowserLauncherHost(TMainForm &form, orv::engine::QueryEngine &engine, const TOptionsForm &options,
                        const TSoundsForm &sounds, const TRepeatForm &checker)
        : StandardLauncherHost(form, engine)
        , m_options(options)
        , m_soundsWindow(sounds)
        , m_checker(checker)
    {}

    WhenGameStarts whenStart() const override { return whenGameStartsOfIndex(m_options.whenStart()); }
    bool continueRefresh() const override { return m_options.continueRefresh(); }
    QString beaconSign2() const override { return m_options.engineOptions().beaconSign2; }
    QString startSound() const override { return m_soundsWindow.startGameSound(); }
    bool checkerRunning() const override { return m_checker.isRunning(); }

private:
    const TOptionsForm &m_options;
    const TSoundsForm &m_soundsWindow;
    const TRepeatForm &m_checker;
};

void BrowserApp::prepareApplication(QApplication &app)
{
    IconProvider::initResources();
    applyTheme(app);
    QApplication::setWindowIcon(IconProvider::programIcon());
}

BrowserApp::BrowserApp(TSplashForm *splash)
{
    platform::paths::copyMissingShippedFiles(kShippedFiles);

    // No pinger is set: the engine's own measurement (an ICMP echo, side by side when several
    // servers are refreshed at once, or the query's round trip where no echo can be sent).
    m_engine.setValueReplacer(m_replacementTable.replacer());
    m_settings.setWarningHandler([this](const QString &message) { m_settingsProblems.report(message); });

    buildWindows(splash);
    connectWindows();
    m_mainForm->setServices(this);
}

BrowserApp::~BrowserApp()
{
    // The windows save their settings as they go; one write of the store takes them all.
    m_settingsProblems.programEnding();
    m_closingSaves.begin();
}

BrowserApp::ClosingSaves::~ClosingSaves()
{
    if (!m_batch)
        return;
    const platform::Status written = m_batch->commit();
    m_batch.reset();
    if (!written)
        m_problems.report(written.error().message);
    m_problems.programEnded();
}

void BrowserApp::reportSettingsProblem(const platform::Status &status)
{
    if (!status)
        m_settingsProblems.report(status.error().message);
}

void BrowserApp::buildWindows(TSplashForm *splash)
{
    const auto progress = [splash](int value) {
        if (splash)
            splash->setProgress(value);
    };
    // Each window is created once and kept until the program ends. A window that another
    // one needs is made before it (the general options before the master-list download
    // that reads them, the progress window before the find window).
    m_mainForm = std::make_unique<TMainForm>(m_engine, m_sounds);
    TMainForm &mainForm = *m_mainForm;
    // The filters own the "Reiterative filter" item the main window's storage keeps, so
    // they come before the storages.
    m_filters = new Filters(mainForm, m_engine, nullptr, &mainForm);
    attachMainFormStorages(mainForm, m_settings);
    m_favorites = new Favorites(mainForm, m_engine, &mainForm);
    m_serversWindow = std::make_unique<TServersForm>(m_settings, &mainForm);
    progress(4);
    m_about = std::make_unique<TAboutForm>(m_sounds, &mainForm);
    progress(5);
    m_options = std::make_unique<TOptionsForm>(m_settings, &mainForm);
    m_sources = std::make_unique<ServerSources>(m_engine, *m_options, *m_serversWindow, &mainForm);
    m_clans = std::make_unique<TClansForm>(m_sources->downloader(), &mainForm);
    m_clans->setWindowFlag(Qt::Window);
    m_clans->setProxySource([this] { return m_options->proxySettings(); });
    progress(8);
    m_gameOptions = std::make_unique<TUnrealOptionsForm>(m_settings, m_sounds, &mainForm);
    m_iniEditor = std::make_unique<TINIForm>(&mainForm);
    m_iniEditor->setWindowFlag(Qt::Window);
    auto *iniStorage = new TFormStorage(m_iniEditor.get(), m_settings);
    iniStorage->setIniSection(TINIForm::settingsSection());
    iniStorage->setOptions(TPlacementOption::fpPosition);
    iniStorage->setStoredProps(TINIForm::storedProperties());
    connect(m_iniEditor.get(), &TINIForm::destroying, m_iniEditor.get(),
            [](QWidget *form) { TFormStorage::formDestroying(form); });
    progress(10);
    m_logWindow = std::make_unique<TDebugForm>(&mainForm);
    auto *logStorage = new TFormStorage(m_logWindow.get(), m_settings);
    logStorage->setIniSection(TDebugForm::settingsSection());
    logStorage->setStoredProps(TDebugForm::storedProperties());
    progress(11);
    m_buildingList = std::make_unique<TBuldingListForm>(&mainForm);
    m_filters->setProgressWindow(m_buildingList.get());
    m_gameOptions->setProgressWindow(m_buildingList.get());
    m_findForm = std::make_unique<TFindForm>(mainForm, m_engine, m_sounds, m_buildingList.get(), &mainForm);
    TFindForm::attachStorage(*m_findForm, m_settings);
    progress(14);
    m_repeatForm = std::make_unique<TRepeatForm>(m_engine, m_settings, m_sounds, &mainForm);
    m_repeatForm->setWindowFlag(Qt::Window);
    progress(15);
    m_soundsWindow = std::make_unique<TSoundsForm>(m_sounds, &mainForm);
    m_soundsStorage = new TFormStorage(m_soundsWindow.get(), m_settings);
    m_soundsStorage->setIniSection(QStringLiteral("Main options"));
    m_soundsStorage->setOptions({});
    m_soundsStorage->setStoredProps(
        {QStringLiteral("Exit.Text"), QStringLiteral("Refresh.Text"), QStringLiteral("Startgame.Text")});
    progress(16);
    m_repeatListForm = std::make_unique<TRepeatListForm>(m_engine, m_settings, m_sounds, &mainForm);
    progress(17);
    m_stringReplacer = std::make_unique<TSReplaceFrom>(m_replacementTable, m_settings, m_sounds, &mainForm);
    m_launcher = std::make_unique<GameLauncher>(mainForm, m_engine, *m_gameOptions, m_sounds);
}

void BrowserApp::connectWindows()
{
    TMainForm &mainForm = *m_mainForm;
    m_launcherHost =
        std::make_unique<BrowserLauncherHost>(mainForm, m_engine, *m_options, *m_soundsWindow, *m_repeatForm);
    m_launcher->setHost(m_launcherHost.get());
    m_repeatForm->setFavorites(m_favorites);
    m_repeatForm->setLauncher(m_launcher.get());
    m_repeatForm->setPlayerPresetNames([this] { return m_gameOptions->presetNames(); });
    m_repeatForm->setReplaceInChecker([this] { return m_replacementTable.useInChecker(); });
    m_repeatForm->attachTo(mainForm, *m_repeatListForm);
    connect(m_gameOptions.get(), &TUnrealOptionsForm::stringReplacerRequested, m_stringReplacer.get(), &QWidget::show);
    connect(m_launcher.get(), &GameLauncher::optionsWindowRequested, m_gameOptions.get(), &QWidget::show);
    connect(m_gameOptions.get(), &TUnrealOptionsForm::exitRequested, &mainForm,
            [&mainForm] { mainForm.triggerCommand(MainAction::Exit); });
    mainForm.setPlayerIcons([this](int index) { return m_gameOptions->playerIcon(index); });
    // The INI editor opens in the folder of the game the main window's commands act for.
    // A native game keeps the user's INI files in its own folder of the home folder.
    m_iniEditor->setGameExecutableSource([this] {
        const QString game = m_gameOptions->gameExecutable(m_mainForm->gameSwitchUT());
        return game.isEmpty() ? game : QDir(orv::core::userIniFolder(game)).filePath(QFileInfo(game).fileName());
    });

    // The options window sets the engine's options whenever the user applies a change, so a
    // change counts at once, also while the window is still open.
    m_engine.setOptions(m_options->engineOptions());
    connect(m_options.get(), &TOptionsForm::engineOptionsChanged, &m_engine, &orv::engine::QueryEngine::setOptions);
    connect(m_options.get(), &QDialog::finished, &mainForm, [this] { applyOptions(); });
    connect(m_options.get(), &TOptionsForm::soundsSwitched, &m_sounds, &SoundBank::setEnabled);
    connect(m_options.get(), &TOptionsForm::soundsWindowRequested, m_soundsWindow.get(), &QWidget::show);
    connect(m_options.get(), &TOptionsForm::serversListsWindowRequested, m_serversWindow.get(), &QWidget::show);
    connect(m_options.get(), &TOptionsForm::smallImagesChanged, &mainForm,
            [&mainForm](bool small) { mainForm.setSmallImages(small); });
    connect(m_options.get(), &TOptionsForm::serversListFontChanged, &mainForm,
            [&mainForm](const QFont &font) { mainForm.setServersListFont(font); });
    connect(m_options.get(), &TOptionsForm::playersListFontChanged, &mainForm,
            [&mainForm](const QFont &font) { mainForm.setPlayersListFont(font); });
    connect(m_sources.get(), &ServerSources::logLine, &mainForm, &TMainForm::log);
    connect(m_clans.get(), &TClansForm::clickSound, &m_sounds, &SoundBank::click);
    connect(m_iniEditor.get(), &TINIForm::clickSound, &m_sounds, &SoundBank::click);
    connect(m_options.get(), &TOptionsForm::clickSound, &m_sounds, &SoundBank::click);
    connect(m_serversWindow.get(), &TServersForm::clickSound, &m_sounds, &SoundBank::click);
    connect(m_sources.get(), &ServerSources::clickSound, &m_sounds, &SoundBank::click);
    connect(m_favorites, &Favorites::clickSound, &m_sounds, &SoundBank::click);
    connect(m_clans.get(), &TClansForm::logLine, &mainForm, &TMainForm::log);
    connect(&mainForm, &TMainForm::closed, this, &BrowserApp::finished);

    // Every settings storage of every window reports what it cannot load or save.
    m_settingsProblems.setWindow(&mainForm);
    m_settingsProblems.setLog([&mainForm](const QString &line) { mainForm.log(line); });
    for (TFormStorage *storage : mainForm.findChildren<TFormStorage *>())
        storage->setErrorHandler([this](const QString &message) { m_settingsProblems.report(message); });
    m_engine.setCheckerRunning(false, false);

    mainForm.setLogWindow(m_logWindow.get());
    m_logWindow->setReplyStoreAccess(
        [this] {
            QStringList lines;
            for (const QByteArray &line : m_engine.currentReplies().lines())
                lines.append(platform::textfile::fromAnsi(line));
            return lines;
        },
        [this](const QString &path) {
            auto bytes = platform::textfile::readAll(path);
            if (!bytes)
                return false;
            m_engine.setReplies(m_engine.currentPage(), platform::textfile::splitLines(*bytes));
            return true;
        });
}

void BrowserApp::applyOptions()
{
    m_sounds.setEnabled(m_options->useSounds());
}

void BrowserApp::show()
{
    m_mainForm->show();
}

void BrowserApp::activate()
{
    m_mainForm->showNormal();
    m_mainForm->raise();
    m_mainForm->activateWindow();
}

void BrowserApp::buildInternetList(std::function<void(bool built)> done)
{
    applyOptions();
    // A closed choice window leaves the list as it was, and the page still opens.
    m_sources->BuildInternetList(
        [done = std::move(done)](orv::net::BuildOutcome outcome) { done(outcome != orv::net::BuildOutcome::Failed); });
}

void BrowserApp::discoverLocal(std::function<void()> done)
{
    applyOptions();
    m_sources->DiscoverLocal(std::move(done));
}

void BrowserApp::showFavorites()
{
    m_favorites->showFavorites();
}

void BrowserApp::showWindow(BrowserWindow window)
{
    switch (window) {
    case BrowserWindow::About:
        m_about->show();
        break;
    case BrowserWindow::INIEditor:
        m_iniEditor->show();
        break;
    case BrowserWindow::Filter:
        m_filters->openMenu(QCursor::pos());
        break;
    case BrowserWindow::Find:
        m_findForm->toggle();
        break;
    case BrowserWindow::GeneralOptions:
        m_options->show();
        break;
    case BrowserWindow::UnrealOptions:
        m_gameOptions->show();
        break;
    case BrowserWindow::Clans:
        m_clans->show();
        m_clans->raise();
        m_clans->activateWindow();
        break;
    }
}

AutoOpen BrowserApp::autoOpenChoice() const
{
    return autoOpenOfIndex(m_options->autoOpen());
}

bool BrowserApp::minimizeToTray() const
{
    return m_options->minimizeToTray();
}

void BrowserApp::firstRun()
{
    m_gameOptions->SearchButtonClick();
    // The player the game was set up with becomes the first preset's identity.
    for (const bool ut : {true, false}) {
        const QString game = m_gameOptions->gameExecutable(ut);
        if (game.isEmpty())
            continue;
        const auto player =
            orv::core::readGamePlayer(QDir(orv::core::userIniFolder(game)).filePath(QStringLiteral("User.ini")));
        if (player) {
            m_gameOptions->takeGamePlayer(*player, ut);
            break;
        }
    }
    m_gameOptions->exec();
}

void BrowserApp::loadOtherSettings()
{
    m_settingsLoaded = true;
    // The other windows' settings, in the order the browser has always loaded them.
    for (TFormStorage *storage :
         {m_gameOptions->formStorage(), m_gameOptions->presetStorage(), m_options->formStorage(),
          m_serversWindow->formStorage(), m_soundsStorage, m_repeatForm->formStorage(), m_repeatForm->presetStorage(),
          m_stringReplacer->formStorage()}) {
        if (storage)
            reportSettingsProblem(storage->LoadSettings());
    }
    m_gameOptions->loadSkinLists();
    applyOptions();
    m_mainForm->setSmallImages(m_options->smallImages());
    m_options->setCurrentFonts(m_mainForm->serversListFont(), m_mainForm->playersListFont());
}

int BrowserApp::playerIcon(const orv::engine::ServerInfo &info, const orv::engine::PlayerEntry &player) const
{
    return m_gameOptions->playerIconIndex(info, player, m_options->engineOptions().beaconSign1);
}

QString BrowserApp::exitSound() const
{
    return m_launcher->isExitSoundSuppressed() ? QString() : m_soundsWindow->exitSound();
}

QString BrowserApp::refreshCompleteSound() const
{
    return m_soundsWindow->refreshSound();
}

} // namespace orv::browser
