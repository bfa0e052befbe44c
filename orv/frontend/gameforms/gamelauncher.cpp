// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/gameforms/gamelauncher.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

#include "orv/core/gamefilesearch.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/shell.h"

namespace orv::frontend {

using namespace orv::core;

namespace {

constexpr int kColumnGame = 2;
constexpr int kColumnAdminEmail = 22;
const QString kNotAvailable = QStringLiteral("N/A");

} // namespace

GameFileState gameFileState(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return GameFileState::Missing;
    if (info.isDir())
        return GameFileState::Folder;
    // A Windows program is started through Wine and needs no execute permission.
    if (!platform::shell::needsWine(path) && !info.isExecutable())
        return GameFileState::NotExecutable;
    return GameFileState::Ok;
}

StandardLauncherHost::StandardLauncherHost(TMainForm &form, orv::engine::QueryEngine &engine)
    : m_form(form)
    , m_engine(engine)
{}

bool StandardLauncherHost::continueRefresh() const
{
    return m_engine.options().contRefr;
}

QString StandardLauncherHost::beaconSign2() const
{
    return m_engine.options().beaconSign2;
}

bool StandardLauncherHost::askYesNo(const QString &text)
{
    return QMessageBox::critical(&m_form, QStringLiteral("Orvane"), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void StandardLauncherHost::warn(const QString &text)
{
    QMessageBox::warning(&m_form, QStringLiteral("Orvane"), text);
}

std::optional<QString> StandardLauncherHost::askLinkName(const QString &name)
{
    bool ok = false;
    const QString text = QInputDialog::getText(&m_form, GameLauncher::tr("Enter Link Name"), GameLauncher::tr("Name"),
                                               QLineEdit::Normal, name, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString StandardLauncherHost::chooseIniFile(const QString &folder)
{
    QFileDialog dialog(&m_form, GameLauncher::tr("Select INI file"), folder,
                       GameLauncher::tr("Ini files (*.ini);;All files (*)"));
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.selectFile(QStringLiteral("unreal"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst()
                                                                                   : QString();
}

bool StandardLauncherHost::openUrl(const QString &url)
{
    return platform::shell::openUrl(url);
}

void StandardLauncherHost::setClipboard(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

platform::Status StandardLauncherHost::startCommand(const launch::GameCommand &command)
{
    return launch::startGameCommand(command);
}

GameLauncher::GameLauncher(TMainForm &form, orv::engine::QueryEngine &engine, TUnrealOptionsForm &options,
                           SoundBank &sounds, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_engine(engine)
    , m_options(options)
    , m_sounds(sounds)
    , m_standardHost(std::make_unique<StandardLauncherHost>(form, engine))
    , m_host(m_standardHost.get())
{
    const std::pair<MainAction, void (GameLauncher::*)()> commands[] = {
        {MainAction::UnrealviaNet, &GameLauncher::A_UnrealviaNet},
        {MainAction::UnrealviaNetandINI, &GameLauncher::A_UnrealviaNetandINI},
        {MainAction::Unreal, &GameLauncher::A_Unreal},
        {MainAction::Safe, &GameLauncher::A_Safe},
        {MainAction::Server, &GameLauncher::A_Server},
        {MainAction::Editor, &GameLauncher::A_Editor},
        {MainAction::ShortCut, &GameLauncher::A_ShortCut},
        {MainAction::ToClipboard, &GameLauncher::A_ToClipboard},
        {MainAction::ToClipboardUURL, &GameLauncher::A_ToClipboardUURL},
        {MainAction::PNameToClipboard, &GameLauncher::A_PNameToClipboard},
        {MainAction::AdminMail, &GameLauncher::A_AdminMail},
        {MainAction::GotoAddress, &GameLauncher::A_GotoAddress},
    };
    for (const auto &[command, method] : commands)
        m_form.onCommand(command, this, [this, work = method] { (this->*work)(); });
    connect(&m_options, &TUnrealOptionsForm::presetsChanged, this, &GameLauncher::fillPresetMenu);
    connect(m_options.formStorage(), &TFormStorage::OnRestorePlacement, this, &GameLauncher::fillPresetMenu);
    fillPresetMenu();
}

GameLauncher::~GameLauncher() = default;

void GameLauncher::setHost(LauncherHost *host)
{
    m_host = host ? host : m_standardHost.get();
}

void GameLauncher::fillPresetMenu()
{
    m_form.fillPresetMenu(m_options.presets(), this, [this](const QString &nickname) { runWithPreset(nickname); });
}

QMenu *GameLauncher::presetMenu() const
{
    return m_form.presetMenu();
}

const orv::engine::ServerEntry *GameLauncher::selectedRow() const
{
    const orv::engine::ServerListModel &model = m_engine.view(m_form.currentPage());
    const int row = m_form.currentRow();
    if (row < 0 || row >= model.size())
        return nullptr;
    return &model.row(row);
}

void GameLauncher::A_UnrealviaNet()
{
    const orv::engine::ServerEntry *row = selectedRow();
    const bool shortcut = m_shortcutMode;
    if (!row || !(row->isAnswered() || shortcut || m_host->checkerRunning()))
        return;
    const bool ut = row->column(kColumnGame).toLower() == m_host->beaconSign2().toLower();
    joinServer(row->column(orv::engine::kColumnAddress), row->column(orv::engine::kColumnGamePort), ut);
}

bool GameLauncher::joinServer(const QString &address, const QString &gamePort, bool ut,
                              const std::optional<QString> &password, bool applyWhenStart)
{
    if (const auto bad = launch::badServerTarget(address, gamePort)) {
        m_form.log(tr("Can not run game.") + u' ' + *bad);
        m_host->warn(*bad);
        return false;
    }
    const bool previous = m_form.gameSwitchUT();
    m_form.setGameSwitchUT(ut);
    PlayerPreset preset = m_options.currentPreset();
    if (password)
        preset.password = *password;
    const QString url = launch::connectionUrl(address, gamePort, preset, ut);
    const bool started = launch(url, std::nullopt, applyWhenStart);
    m_form.setGameSwitchUT(previous);
    if (!m_host->continueRefresh())
        m_engine.stopRefresh();
    return started;
}

void GameLauncher::A_UnrealviaNetandINI()
{
    const orv::engine::ServerEntry *row = selectedRow();
    if (!row || !row->isAnswered())
        return;
    const QString address = row->column(orv::engine::kColumnAddress);
    const QString gamePort = row->column(orv::engine::kColumnGamePort);
    if (const auto bad = launch::badServerTarget(address, gamePort)) {
        m_host->warn(*bad);
        return;
    }
    const QString folder = userIniFolder(m_options.gamePath(1));
    const QString ini = m_host->chooseIniFile(folder);
    if (ini.isEmpty())
        return;
    // The INI switch is an argument of its own, however the file's path is spelt. A
    // Windows game under Wine reads the path in its own form.
    const QString target = address + QStringLiteral("?port=") + gamePort;
    const QString executable = m_options.gameExecutable(m_form.gameSwitchUT());
    QString iniPath = QFileInfo(ini).absoluteFilePath();
    if (platform::shell::needsWine(executable))
        iniPath = launch::windowsPath(iniPath, launch::winePrefixOf(executable));
    const QString userIni = QStringLiteral("-userini=") + iniPath;
    launch(target + u' ' + userIni, QStringList{target, userIni});
}

void GameLauncher::A_Unreal()
{
    launch(QString());
}

void GameLauncher::A_Safe()
{
    launch(QStringLiteral("-safe"));
}

void GameLauncher::A_Server()
{
    const bool ut = m_form.gameSwitchUT();
    const QString executable = m_options.gameExecutable(ut);
    const QString serverText = m_options.serverText(ut);
    if (!checkExecutable(executable))
        return;
    if (!startProgram(executable, platform::shell::splitCommandLine(serverText), ut))
        return;
    const QString line =
        tr("Run server.") + u' ' + tr("Command") + QStringLiteral(" [ ") + executable + u' ' + serverText + u']';
    m_form.log(line);
    applyWhenStart(false);
}

void GameLauncher::A_Editor()
{
    const bool ut = m_form.gameSwitchUT();
    const QString executable = m_options.editorExecutable(ut);
    if (gameFileState(executable) != GameFileState::Ok)
        return;
    if (startProgram(executable, {}, ut))
        m_form.log(tr("Run editor.") + u' ' + tr("Command") + u'[' + executable + u']');
}

void GameLauncher::A_ShortCut()
{
    m_shortcutMode = true;
    A_UnrealviaNet();
    m_shortcutMode = false;
}

void GameLauncher::A_ToClipboard()
{
    if (const orv::engine::ServerEntry *row = selectedRow()) {
        m_host->setClipboard(launch::clipboardAddress(row->column(orv::engine::kColumnAddress),
                                                      row->column(orv::engine::kColumnGamePort)));
    }
}

void GameLauncher::A_ToClipboardUURL()
{
    if (const orv::engine::ServerEntry *row = selectedRow())
        m_host->setClipboard(launch::unrealUrl(row->column(orv::engine::kColumnAddress)));
}

void GameLauncher::A_PNameToClipboard()
{
    if (const auto name = m_form.currentPlayerName())
        m_host->setClipboard(*name);
}

void GameLauncher::A_AdminMail()
{
    if (const orv::engine::ServerEntry *row = selectedRow()) {
        const QString email = row->column(kColumnAdminEmail);
        if (!email.isEmpty() && email != kNotAvailable)
            m_host->openUrl(launch::mailUrl(email));
    }
}

void GameLauncher::A_GotoAddress()
{
    const orv::engine::ServerEntry *row = selectedRow();
    if (!row)
        return;
    const QString address = row->column(orv::engine::kColumnAddress);
    if (address.isEmpty() || address == kNotAvailable)
        return;
    const QString url = launch::webUrl(address);
    if (!m_host->openUrl(url))
        m_form.log(tr("Can not open address") + QStringLiteral(" [") + url + u']');
}

void GameLauncher::runWithPreset(const QString &nickname)
{
    m_options.choosePreset(nickname);
    A_UnrealviaNet();
}

bool GameLauncher::checkExecutable(const QString &path)
{
    switch (gameFileState(path)) {
    case GameFileState::Ok:
        return true;
    case GameFileState::Missing:
        m_form.log(tr("Game file not found") + QStringLiteral(": [") + path + u']');
        break;
    case GameFileState::Folder:
        m_form.log(tr("Game file is a folder, not a program") + QStringLiteral(": [") + path + u']');
        break;
    case GameFileState::NotExecutable:
        m_form.log(tr("Game file is not executable") + QStringLiteral(": [") + path + u']');
        break;
    }
    if (m_host->askYesNo(tr("Game executable file not found! You want to reselect it ?")))
        emit optionsWindowRequested();
    return false;
}

bool GameLauncher::launch(const QString &url, const std::optional<QStringList> &urlArguments, bool applyWhen)
{
    const bool ut = m_form.gameSwitchUT();
    const QString executable = m_options.gameExecutable(ut);
    const QString extra = m_options.extraText(ut);
    if (!checkExecutable(executable))
        return false;
    if (m_shortcutMode) {
        writeShortcut(executable, url, extra, urlArguments);
        return true;
    }
    QStringList arguments = launch::gameArguments(url, extra);
    if (urlArguments)
        arguments = *urlArguments + launch::gameArguments(QString(), extra);
    if (!startProgram(executable, arguments, ut))
        return false;
    // The sound greets a game that did start; the program waits for it, so that ending
    // after the start does not cut it off.
    m_sounds.playAndWait(m_host->startSound());
    setStatus(tr("Run game.") + u' ' + tr("Command") + QStringLiteral(" [") +
              launch::commandText(executable, url, extra) + u']');
    if (applyWhen)
        applyWhenStart(true);
    return true;
}

bool GameLauncher::startProgram(const QString &executable, const QStringList &arguments, bool ut)
{
    const launch::GameCommand command = launch::buildGameCommand(executable, arguments, m_options.commandLine(ut));
    const platform::Status status = m_host->startCommand(command);
    if (!status) {
        // The program could not start (no Wine for a Windows game, a wrapper that is not
        // installed, a broken file): say so, with the command, rather than report a game
        // that never ran.
        m_form.log(status.error().message);
        m_host->warn(status.error().message);
    }
    return status.hasValue();
}

bool GameLauncher::writeShortcut(const QString &executable, const QString &url, const QString &extra,
                                 const std::optional<QStringList> &urlArguments)
{
    const orv::engine::ServerEntry *row = selectedRow();
    const auto name = m_host->askLinkName(row ? row->caption : QString());
    if (!name || name->isEmpty())
        return false;
    QStringList arguments = launch::gameArguments(url, extra);
    if (urlArguments)
        arguments = *urlArguments + launch::gameArguments(QString(), extra);
    // A plain game file is the launcher's target; a wrapper or a Wine prefix goes through
    // env, which also enters the game's folder.
    const bool ut = m_form.gameSwitchUT();
    const launch::GameCommand command = launch::buildGameCommand(executable, arguments, m_options.commandLine(ut));
    QString target = executable;
    if (!m_options.commandLine(ut).trimmed().isEmpty() || !command.environment.isEmpty()) {
        target = QStringLiteral("env");
        QStringList words = {QStringLiteral("-C"), command.workingFolder};
        for (const auto &[variable, value] : command.environment)
            words.append(variable + u'=' + value);
        arguments = words + QStringList{command.program} + command.arguments;
    }
    const auto written =
        platform::shell::createDesktopLauncher(*name, target, arguments, QString(), m_host->desktopFolder());
    if (!written) {
        const QString text =
            tr("Can not create shortcut to desktop") + u' ' + tr("filename") + QStringLiteral(": [") + *name + u']';
        m_form.log(text);
        m_host->warn(text);
        return false;
    }
    m_form.log(tr("Create shortcut to desktop.") + u' ' + tr("Command") + QStringLiteral(" : [") +
               launch::commandText(executable, url, extra) + QStringLiteral("] ") + tr("Named") +
               QStringLiteral(": [") + *name + u']');
    return true;
}

void GameLauncher::applyWhenStart(bool fromGame)
{
    switch (m_host->whenStart()) {
    case WhenGameStarts::Minimize:
        m_form.showMinimized();
        break;
    case WhenGameStarts::Terminate:
        // After a game starts the program ends quietly; after a server start it says goodbye.
        if (fromGame)
            m_exitSoundSuppressed = true;
        m_form.close();
        break;
    case WhenGameStarts::KeepRunning:
        break;
    }
}

void GameLauncher::setStatus(const QString &text)
{
    m_lastStatus = text;
    m_form.setStatusText(StatusPanel::Message, text);
    m_form.log(text);
}

} // namespace orv::frontend
