// SPDX-License-Identifier: GPL-3.0-or-later
// The checker window's script editor, its presets and the import and export of script files.
#include "orv/checker/ui/repeatform.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "orv/checker/argumenttable.h"
#include "orv/checker/presetname.h"
#include "orv/checker/scriptfile.h"
#include "orv/frontend/formstorage/formstorage.h"

namespace orv::checker::ui {

void TRepeatForm::setScriptLines(const QStringList &prg)
{
    m_script = CheckerScript::fromPrg(prg);
    syncPrg();
    showRows();
    updateActions();
}

void TRepeatForm::syncPrg()
{
    m_prg->clear();
    m_prg->addItems(m_script.prg());
}

void TRepeatForm::prgRestored()
{
    QStringList lines;
    lines.reserve(m_prg->count());
    for (int i = 0; i < m_prg->count(); ++i)
        lines.append(m_prg->item(i)->text());
    m_script = CheckerScript::fromPrg(lines);
    showRows();
    updateActions();
}

void TRepeatForm::showRows()
{
    const QSignalBlocker blocker(m_repeatPrg);
    m_repeatPrg->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(m_script.lineCount());
    for (const CheckerLine &line : m_script.rows()) {
        auto *item = new QTreeWidgetItem({line.cmd, line.arg, line.rule, line.value, line.mark});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignCenter);
        items.append(item);
    }
    m_repeatPrg->addTopLevelItems(items);
}

void TRepeatForm::edit(const EditOutcome &outcome)
{
    if (!outcome.message.isEmpty())
        message(QMessageBox::Question, outcome.message, QMessageBox::Yes | QMessageBox::No);
    if (outcome.changed) {
        syncPrg();
        showRows();
    }
    if (outcome.selected)
        selectRow(*outcome.selected);
    updateActions();
}

int TRepeatForm::selectedRow() const
{
    QTreeWidgetItem *item = m_repeatPrg->currentItem();
    return item && item->isSelected() ? m_repeatPrg->indexOfTopLevelItem(item) : -1;
}

void TRepeatForm::selectRow(int row)
{
    if (QTreeWidgetItem *item = m_repeatPrg->topLevelItem(row)) {
        m_repeatPrg->setCurrentItem(item);
        item->setSelected(true);
        m_repeatPrg->scrollToItem(item);
    }
}

void TRepeatForm::setEditorValues(const QString &arg, const QString &rule, const QString &value)
{
    m_arg->setCurrentIndex(m_arg->findText(arg, Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_rule->setCurrentIndex(m_rule->findText(rule, Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_value->setText(value);
    updateActions();
}

void TRepeatForm::rowActivated()
{
    const int row = selectedRow();
    if (row < 0 || row >= m_script.lineCount())
        return;
    const CheckerLine &line = m_script.rows().at(row);
    setEditorValues(line.arg, line.rule, line.value);
}

void TRepeatForm::updateActions()
{
    // The script stays as Go checked it: nothing edits it while a run evaluates it.
    const bool idle = !m_run->isRunning();
    const int row = selectedRow();
    const std::optional<int> selected = row >= 0 ? std::optional<int>(row) : std::nullopt;
    for (const EditActionInfo &info : editActions()) {
        const bool enabled = m_script.isActionEnabled(info.action, selected, m_arg->currentText(),
                                                      m_rule->currentText(), m_value->text());
        m_actions.value(QString::fromLatin1(info.name))->setEnabled(idle && enabled);
    }
    m_actions.value(QStringLiteral("A_Go"))->setEnabled(idle && !m_script.isEmpty());
    m_actions.value(QStringLiteral("A_Stop"))->setEnabled(!idle);
    // The presets stay as they are during a run: switching, adding or deleting one would
    // change the script or the settings under the run.
    m_editor->setEnabled(idle);
    m_presets->setEnabled(idle);
    m_addPresetButton->setEnabled(idle);
    m_deletePresetButton->setEnabled(idle);
}

void TRepeatForm::refillPlayerPresets()
{
    if (!m_presetNames)
        return;
    const QString current = m_playerPreset->currentText();
    const QSignalBlocker blocker(m_playerPreset);
    m_playerPreset->clear();
    m_playerPreset->addItems(m_presetNames());
    m_playerPreset->setCurrentIndex(m_playerPreset->findText(current, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void TRepeatForm::showScriptCheck(const ScriptCheckResult &result)
{
    if (result.message.isEmpty())
        return;
    if (result.line >= 0 && result.status == ScriptCheckStatus::Failed)
        selectRow(result.line);
    message(result.kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information, result.message);
}

void TRepeatForm::check()
{
    showScriptCheck(CheckScript(m_script, true));
}

// ---- presets ----

QStringList TRepeatForm::presetNames() const
{
    QStringList names;
    for (int i = 0; i < m_presets->count(); ++i)
        names.append(m_presets->itemText(i));
    return names;
}

QString TRepeatForm::presetText() const
{
    return m_presets->currentText();
}

void TRepeatForm::setPresetText(const QString &name)
{
    m_presets->setEditText(name);
}

void TRepeatForm::pointStorage2At(const QString &name)
{
    m_storage2->setIniSection(presetSection(name));
    m_storage2Loaded = false;
}

bool TRepeatForm::acceptsNewPresetName(const QString &name)
{
    switch (checkPresetAdd(presetNames(), name)) {
    case PresetAdd::Ignored:
        return false;
    case PresetAdd::Duplicate:
        message(QMessageBox::Critical, duplicatePresetMessage());
        return false;
    case PresetAdd::CaseDuplicate:
        message(QMessageBox::Critical, caseDuplicatePresetMessage(presetNames(), name));
        return false;
    case PresetAdd::Added:
        break;
    }
    return true;
}

void TRepeatForm::addPreset()
{
    if (isRunning())
        return;
    const QString name = presetText();
    if (!acceptsNewPresetName(name))
        return;
    const QString previousSection = m_storage2->IniSection();
    const bool previousLoaded = m_storage2Loaded;
    m_presets->addItem(name);
    m_presets->setEditText(name);
    pointStorage2At(name);
    if (const platform::Status saved = m_storage2->SaveSettings(); !saved) {
        // Nothing was stored: the name leaves the list again and the preset in use stays
        // the one the settings shown belong to.
        m_presets->removeItem(m_presets->count() - 1);
        m_presets->setEditText(name);
        m_storage2->setIniSection(previousSection);
        m_storage2Loaded = previousLoaded;
        const QString cause = m_storage2->lastFailureCause();
        message(QMessageBox::Critical, cause.isEmpty() ? saved.error().message : cause);
        return;
    }
    // The shown settings are now exactly the new preset's.
    m_storage2Loaded = true;
    message(QMessageBox::Information, QStringLiteral("Checker preset added!"));
}

void TRepeatForm::deletePreset()
{
    if (isRunning())
        return;
    const QString name = presetText();
    if (name.isEmpty() || m_presets->count() == 0)
        return;
    const int index = m_presets->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        for (const QString &key : presetKeysToDelete(name))
            (void)m_storage2->DeleteSection(key);
        m_presets->removeItem(index);
        message(QMessageBox::Information, QStringLiteral("Checker preset deleted!"));
    }
    m_script = CheckerScript();
    syncPrg();
    showRows();
    if (m_presets->count() > 0) {
        m_presets->setCurrentIndex(0);
        m_presets->setEditText(m_presets->itemText(0));
        pointStorage2At(m_presets->itemText(0));
        (void)m_storage2->LoadSettings();
    } else {
        // Nothing is pointed at any more: the next switch must not write the emptied script
        // over the preset that used to be shown.
        m_storage2Loaded = false;
    }
    updateActions();
}

void TRepeatForm::switchPreset()
{
    if (isRunning())
        return;
    const QString name = presetText();
    if (name.isEmpty())
        return;
    // Only settings that were loaded from (or saved as) the section are written back to it;
    // before the first load the controls hold defaults that would overwrite the stored preset.
    if (m_storage2Loaded)
        (void)m_storage2->SaveSettings();
    pointStorage2At(name);
    (void)m_storage2->LoadSettings();
}

void TRepeatForm::importScript(const QString &path, const QString &name)
{
    if (isRunning())
        return;
    if (name.isEmpty())
        return;
    if (const auto problem = importedPresetNameProblem(name)) {
        message(QMessageBox::Critical, *problem);
        return;
    }
    if (!acceptsNewPresetName(name))
        return;
    // The file is read before anything changes, so a refused file leaves script and presets alone.
    const auto lines = scriptfile::read(path);
    if (!lines) {
        message(QMessageBox::Critical, lines.error().message);
        return;
    }
    setScriptLines(lines.value());
    setPresetText(name);
    addPreset();
    switchPreset();
}

bool TRepeatForm::exportScript(const QString &path)
{
    // Only a file that the import takes back line for line is written without a word.
    const scriptfile::WriteCheck check = scriptfile::checkWrite(m_script.prg());
    if (!check.refusal.isEmpty()) {
        message(QMessageBox::Critical, check.refusal + QStringLiteral(" The script was not exported."));
        return false;
    }
    const platform::Status written = scriptfile::write(path, m_script.prg());
    if (!written) {
        message(QMessageBox::Critical, written.error().message);
        return false;
    }
    return true;
}

void TRepeatForm::importWithDialogs()
{
    const QString path = m_chooseImportFile ? m_chooseImportFile()
                                            : QFileDialog::getOpenFileName(this, QString(), QStringLiteral("default"),
                                                                           QStringLiteral("Orvane script (*.ovs)"));
    if (path.isEmpty())
        return;
    std::optional<QString> name;
    if (m_askImportName) {
        name = m_askImportName();
    } else {
        bool ok = false;
        const QString text = QInputDialog::getText(this, QStringLiteral("Script import"), QStringLiteral("Enter name"),
                                                   QLineEdit::Normal, QString(), &ok);
        if (ok)
            name = text;
    }
    if (!name || name->isEmpty())
        return;
    importScript(path, *name);
}

void TRepeatForm::exportWithDialog()
{
    QString path;
    if (m_chooseExportFile) {
        path = m_chooseExportFile(presetText());
    } else {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("Orvane script (*.ovs)"));
        dialog.setDefaultSuffix(QString::fromLatin1(scriptfile::kExtension));
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(presetText());
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    if (!path.isEmpty())
        exportScript(path);
}

} // namespace orv::checker::ui
