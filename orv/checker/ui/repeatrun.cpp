// SPDX-License-Identifier: GPL-3.0-or-later
// The checker window's servers to check and its run: the settings, start and stop, and
// what a run does when a rule is right.
#include "orv/checker/ui/repeatform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTreeWidget>

#include "orv/checker/ui/repeatlistform.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/gameforms/gamelauncher.h"
#include "orv/frontend/listtools/favorites.h"
#include "orv/frontend/mainwindow/enginetexts.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/soundbank.h"

namespace orv::checker::ui {

namespace {
// A row whose list line is a host name or lacks a port cannot be asked.
const QString kNoServerAddress = QStringLiteral("The selected row has no server address to check.");
} // namespace

void TRepeatForm::setServers(const QList<RepeatServer> &servers)
{
    m_servers->clear();
    for (const RepeatServer &s : servers) {
        m_servers->addTopLevelItem(
            new QTreeWidgetItem({s.name, s.server.addressText(), s.server.gamePortText(), s.server.queryPortText()}));
    }
    m_servers->sortItems(0, Qt::AscendingOrder);
    updateActions();
}

QList<RepeatServer> TRepeatForm::servers() const
{
    QList<RepeatServer> list;
    for (int i = 0; i < m_servers->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_servers->topLevelItem(i);
        // The texts were written from addresses by setServers().
        if (const auto server = orv::engine::ServerAddress::fromText(item->text(1), item->text(2), item->text(3)))
            list.append({item->text(0), *server});
    }
    return list;
}

void TRepeatForm::takeSelectedServer(orv::frontend::TMainForm &form)
{
    const int row = form.currentRow();
    const orv::engine::ServerListModel *model = &m_engine.currentView();
    if (row < 0 || !model || row >= model->size())
        return;
    const orv::engine::ServerEntry &entry = model->row(row);
    if (!entry.address) {
        message(QMessageBox::Information, kNoServerAddress);
        return;
    }
    setServers({{entry.caption, *entry.address}});
    show();
    raise();
}

void TRepeatForm::attachTo(orv::frontend::TMainForm &form, TRepeatListForm &selection)
{
    m_form = &form;
    form.installEventFilter(this);
    connect(&form, &orv::frontend::TMainForm::closed, this, &TRepeatForm::programClosing);
    using orv::frontend::MainAction;
    connect(form.action(MainAction::RepeatSelected), &QAction::triggered, this,
            [this, &form] { takeSelectedServer(form); });
    if (QAction *a = form.action(MainAction::RepeatMultiple)) {
        connect(a, &QAction::triggered, this, [this, &selection] {
            if (selection.exec() != QDialog::Accepted)
                return;
            const QList<RepeatServer> chosen = selection.chosenServers();
            setServers(chosen);
            if (chosen.size() > 1) {
                show();
                raise();
            }
        });
    }
}

RunSettings TRepeatForm::runSettings() const
{
    RunSettings s;
    for (int i = 0; i < kRuleRightActionCount && i < m_whenRuleRight->count(); ++i) {
        const Qt::CheckState state = m_whenRuleRight->item(i)->checkState();
        s.whenRuleRight[static_cast<size_t>(i)] = state == Qt::Checked            ? CheckState::Checked
                                                  : state == Qt::PartiallyChecked ? CheckState::Greyed
                                                                                  : CheckState::Unchecked;
    }
    s.minimizeWindow = m_minimizeWin->isChecked();
    s.alertSound = m_alertSound->text();
    s.notice = m_notice->text();
    s.playerPreset = m_playerPreset->currentText();
    s.repeatDelay = repeatDelay();
    return s;
}

int TRepeatForm::repeatDelay() const
{
    return clampRepeatDelay(m_repeatDelay->value());
}

bool TRepeatForm::isRunning() const
{
    return m_run->isRunning();
}

void TRepeatForm::go()
{
    if (m_run->isRunning())
        return;
    // The checker keeps away from a list that is being refreshed: Go is refused until the
    // refresh has ended, and says so.
    if (m_engine.isRefreshActive()) {
        const QString text = orv::frontend::checkRefusedDuringRefreshText();
        if (m_form)
            m_form->setStatusText(orv::frontend::StatusPanel::Message, text);
        emit logLine(text);
        return;
    }
    const ScriptCheckResult checked = CheckScript(m_script, false);
    if (!checked.passed()) {
        showScriptCheck(checked);
        return;
    }
    const QList<RepeatServer> list = servers();
    if (list.isEmpty()) {
        message(QMessageBox::Information, QStringLiteral("Choose the servers to check first."));
        return;
    }
    // The run evaluates the script Go checked, whatever happens to the editor meanwhile; the
    // settings it reads from the controls whenever it uses one.
    m_runScript = m_script;
    m_run->start(
        list, [this]() -> const CheckerScript & { return m_runScript; }, [this] { return runSettings(); },
        presetText());
}

void TRepeatForm::programClosing()
{
    m_programClosing = true;
    m_run->stopForExit();
}

void TRepeatForm::stop()
{
    m_run->stop();
}

void TRepeatForm::playAlert()
{
    // The alert is the point of the checker: it sounds even while the program's sounds are off.
    m_sounds.playIgnoringMute(alertSoundName(m_alertSound->text()));
}

void TRepeatForm::showNotice()
{
    message(QMessageBox::Information, m_notice->text());
}

bool TRepeatForm::addFavorite(const RepeatServer &server)
{
    // The favorites were never read in this run: keep the file's lines.
    if (m_favorites && !m_engine.ensureFavoritesLoaded())
        return false;
    if (!m_engine.addFavorite(orv::engine::AddressWords::of(server.server)))
        return false;
    if (m_favorites)
        m_favorites->save();
    return true;
}

bool TRepeatForm::runGame(const RepeatServer &server, const QString &playerPreset)
{
    if (!m_form)
        return false;
    const orv::engine::ServerListModel *model = &m_engine.currentView();
    const std::optional<int> row = model ? model->FindRow(server.server) : std::nullopt;
    if (!row)
        return false;
    m_form->selectRow(m_form->currentPage(), *row);
    if (m_launcher) {
        if (!playerPreset.isEmpty())
            m_launcher->runWithPreset(playerPreset);
        else
            m_launcher->A_UnrealviaNet();
    }
    return true;
}

} // namespace orv::checker::ui
