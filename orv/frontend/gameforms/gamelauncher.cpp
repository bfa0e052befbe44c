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

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/serverview.h"
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

GameLauncher::GameLauncher(TMainForm &form, orv::engine::QueryEngine &engine, TUnrealOptionsForm &options,
                           SoundBank &sounds, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_engine(engine)
    , m_options(options)
    , m_sounds(sounds)
{
    setHooks({});
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
    for (const auto &[command, work] : commands)
        connect(m_form.action(command), &QAction::triggered, this, work);
    m_presetMenu = m_form.presetMenu();
    connect(&m_options, &TUnrealOptionsForm::presetsChanged, this, &GameLauncher::fillPresetMenu);
    connect(m_options.formStorage(), &TFormStorage::OnRestorePlacement, this, &GameLauncher::fillPresetMenu);
    fillPresetMenu();
}

void GameLauncher::fillPresetMenu()
{
    if (!m_presetMenu)
        return;
    m_presetMenu->clear();
    const QStringList presets = m_options.presets();
    for (const QString &nickname : presets) {
        QAction *item = m_presetMenu->addAction(nickname);
        connect(item, &QAction::triggered, this, [this, nickname] { runWithPreset(nickname); });
    }
}

void GameLauncher::setHooks(LauncherHooks hooks)
{
    // Missing settings fall back to the engine's options and the program's defaults.
    if (!hooks.whenStart)
        hooks.whenStart = [] { return WhenGameStarts::Minimize; };
    if (!hooks.continueRefresh)
        hooks.continueRefresh = [this] { return m_engine.options().contRefr; };
    if (!hooks.beaconSign2)
        hooks.beaconSign2 = [this] { return m_engine.options().beaconSign2; };
    if (!hooks.startSound)
        hooks.startSound = [] { return QStringLiteral("prepare.wav"); };
    if (!hooks.checkerRunning)
        hooks.checkerRunning = [] { return false; };
    if (!hooks.askYesNo) {
        hooks.askYesNo = [this](const QString &text) {
            return QMessageBox::critical(&m_form, QStringLiteral("Orvane"), text, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes;
        };
    }
    if (!hooks.warn)
        hooks.warn = [this](const QString &text) { QMessageBox::warning(&m_form, QStringLiteral("Orvane"), text); };
    if (!hooks.askLinkName) {
        hooks.askLinkName = [this](const QString &name) -> std::optional<QString> {
            bool ok = false;
            const QString text =
                QInputDialog::getText(&m_form, tr("Enter Link Name"), tr("Name"), QLineEdit::Normal, name, &ok);
            if (!ok)
                return std::nullopt;
            return text;
        };
    }
    if (!hooks.chooseIniFile) {
        hooks.chooseIniFile = [this](const QString &folder) {
            QFileDialog dialog(&m_form, tr("Select INI file"), folder, tr("Ini files (*.ini);;All files (*)"));
            dialog.setDefaultSuffix(QStringLiteral("ini"));
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.selectFile(QStringLiteral("unreal"));
            return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                       ? dialog.selectedFiles().constFirst()
                       : QString();
        };
    }
    if (!hooks.openUrl)
        hooks.openUrl = [](const QString &url) { return platform::shell::openUrl(url); };
    if (!hooks.setClipboard) {
        hooks.setClipboard = [](const QString &text) {
            if (QClipboard *clipboard = QGuiApplication::clipboard())
                clipboard->setText(text);
        };
    }
    m_hooks = std::move(hooks);
}

const orv::engine::ServerEntry *GameLauncher::selectedRow() const
{
    const ServerView *view = m_form.currentView();
    const orv::engine::ServerListModel *model = &m_engine.view(m_form.currentPage());
    if (!view || !model)
        return nullptr;
    const int row = view->currentRow();
    if (row < 0 || row >= model->size())
        return nullptr;
    return &model->row(row);
}

void GameLauncher::A_UnrealviaNet()
{
    const orv::engine::ServerEntry *row = selectedRow();
    const bool shortcut = m_shortcutMode;
    if (!row || !(row->isAnswered() || shortcut || m_hooks.checkerRunning()))
        return;
    const QString address = row->column(orv::engine::kColumnAddress);
    const QString gamePort = row->column(orv::engine::kColumnGamePort);
    if (const auto bad = launch::badServerTarget(address, gamePort)) {
        m_form.log(tr("Can not run game.") + u' ' + *bad);
        m_hooks.warn(*bad);
        return;
    }
    const bool previous = m_form.gameSwitchUT();
    const bool ut = row->column(kColumnGame).toLower() == m_hooks.beaconSign2().toLower();
    m_form.setGameSwitchUT(ut);
    const QString url = launch::connectionUrl(address, gamePort, m_options.currentPreset(), ut);
    launch(url);
    m_form.setGameSwitchUT(previous);
    if (!m_hooks.continueRefresh())
        m_engine.stopRefresh();
}

void GameLauncher::A_UnrealviaNetandINI()
{
    const orv::engine::ServerEntry *row = selectedRow();
    if (!row || !row->isAnswered())
        return;
    const QString address = row->column(orv::engine::kColumnAddress);
    const QString gamePort = row->column(orv::engine::kColumnGamePort);
    if (const auto bad = launch::badServerTarget(address, gamePort)) {
        m_hooks.warn(*bad);
        return;
    }
    const QString folder = QFileInfo(m_options.gamePath(1)).absolutePath();
    const QString ini = m_hooks.chooseIniFile(folder);
    if (ini.isEmpty())
        return;
    // The INI switch is an argument of its own, however the file's path is spelt.
    const QString target = address + QStringLiteral("?port=") + gamePort;
    const QString userIni = QStringLiteral("-userini=") + QFileInfo(ini).absoluteFilePath();
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
    if (!startProgram(executable, platform::shell::splitCommandLine(serverText)))
        return;
    const QString line =
        tr("Run server.") + u' ' + tr("Command") + QStringLiteral(" [ ") + executable + u' ' + serverText + u']';
    m_form.log(line);
    applyWhenStart(false);
}

void GameLauncher::A_Editor()
{
    const QString executable = m_options.editorExecutable(m_form.gameSwitchUT());
    if (gameFileState(executable) != GameFileState::Ok)
        return;
    if (startProgram(executable, {}))
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
        m_hooks.setClipboard(launch::clipboardAddress(row->column(orv::engine::kColumnAddress),
                                                      row->column(orv::engine::kColumnGamePort)));
    }
}

void GameLauncher::A_ToClipboardUURL()
{
    if (const orv::engine::ServerEntry *row = selectedRow())
        m_hooks.setClipboard(launch::unrealUrl(row->column(orv::engine::kColumnAddress)));
}

void GameLauncher::A_PNameToClipboard()
{
    const int player = m_form.playersList()->currentRow();
    if (player < 0 || player >= m_form.playersModel()->rowCount())
        return;
    m_hooks.setClipboard(m_form.playersModel()->row(player).caption);
}

void GameLauncher::A_AdminMail()
{
    if (const orv::engine::ServerEntry *row = selectedRow()) {
        const QString email = row->column(kColumnAdminEmail);
        if (!email.isEmpty() && email != kNotAvailable)
            m_hooks.openUrl(launch::mailUrl(email));
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
    if (!m_hooks.openUrl(url))
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
        break;
    case GameFileState::Folder:
        m_form.log(tr("Game file is a folder, not a program") + QStringLiteral(": [") + path + u']');
        break;
    case GameFileState::NotExecutable:
        m_form.log(tr("Game file is not executable") + QStringLiteral(": [") + path + u']');
        break;
    }
    if (m_hooks.askYesNo(tr("Game executable file not found! You want to reselect it ?")))
        emit optionsWindowRequested();
    return false;
}

bool GameLauncher::launch(const QString &url, const std::optional<QStringList> &urlArguments)
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
    m_sounds.playAndWait(m_hooks.startSound());
    QStringList arguments = launch::gameArguments(url, extra);
    if (urlArguments)
        arguments = *urlArguments + launch::gameArguments(QString(), extra);
    if (!startProgram(executable, arguments))
        return false;
    setStatus(tr("Run game.") + u' ' + tr("Command") + QStringLiteral(" [") +
              launch::commandText(executable, url, extra) + u']');
    applyWhenStart(true);
    return true;
}

bool GameLauncher::startProgram(const QString &executable, const QStringList &arguments)
{
    if (m_hooks.startProgram)
        return m_hooks.startProgram(executable, arguments);
    const platform::Status status = platform::shell::startDetached(executable, arguments);
    if (!status) {
        // The program could not start (no Wine for a Windows game, a broken file): say so
        // rather than report a game that never ran.
        m_form.log(status.error().message);
        m_hooks.warn(status.error().message);
    }
    return status.hasValue();
}

bool GameLauncher::writeShortcut(const QString &executable, const QString &url, const QString &extra,
                                 const std::optional<QStringList> &urlArguments)
{
    const orv::engine::ServerEntry *row = selectedRow();
    const auto name = m_hooks.askLinkName(row ? row->caption : QString());
    if (!name || name->isEmpty())
        return false;
    QStringList arguments = launch::gameArguments(url, extra);
    if (urlArguments)
        arguments = *urlArguments + launch::gameArguments(QString(), extra);
    const auto written =
        platform::shell::createDesktopLauncher(*name, executable, arguments, QString(), m_hooks.desktopFolder);
    if (!written) {
        const QString text =
            tr("Can not create shortcut to desktop") + u' ' + tr("filename") + QStringLiteral(": [") + *name + u']';
        m_form.log(text);
        m_hooks.warn(text);
        return false;
    }
    m_form.log(tr("Create shortcut to desktop.") + u' ' + tr("Command") + QStringLiteral(" : [") +
               launch::commandText(executable, url, extra) + QStringLiteral("] ") + tr("Named") +
               QStringLiteral(": [") + *name + u']');
    return true;
}

void GameLauncher::applyWhenStart(bool fromGame)
{
    switch (m_hooks.whenStart()) {
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
