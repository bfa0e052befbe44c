// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ui/repeatform.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>

#include "orv/checker/argumenttable.h"
#include "orv/checker/presetname.h"
#include "orv/engine/queryengine.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/soundbank.h"

namespace orv::checker::ui {

using orv::frontend::TFormStorage;
using orv::frontend::TPlacementOption;

TRepeatForm::TRepeatForm(orv::engine::QueryEngine &engine, platform::RegistryStore &store,
                         orv::frontend::SoundBank &sounds, QWidget *parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_store(store)
    , m_sounds(sounds)
    , m_run(new CheckerRun(engine, this))
{
    setObjectName(QStringLiteral("RepeatForm"));
    setWindowTitle(QStringLiteral("Server Checker"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    buildActions();
    buildLayout();
    buildStorages();

    connect(m_run, &CheckerRun::logLine, this, &TRepeatForm::logText);
    connect(m_run, &CheckerRun::trayAnimationChanged, this, [this](bool on) {
        if (m_form)
            m_form->setTrayBusy(on);
    });
    connect(m_run, &CheckerRun::trayHintChanged, this, [this](const QString &hint) {
        if (m_form)
            m_form->setTrayHint(hint);
    });
    connect(m_run, &CheckerRun::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_run, &CheckerRun::serverStarted, this, [this](int row) {
        if (QTreeWidgetItem *item = m_servers->topLevelItem(row)) {
            m_servers->setCurrentItem(item);
            m_servers->scrollToItem(item);
        }
    });
    // The application is the main window and this always-on-top window beside it: both go
    // down together and come back together.
    connect(m_run, &CheckerRun::minimizeRequested, this, [this] {
        if (m_form)
            m_form->showMinimized();
        showMinimized();
    });
    connect(m_run, &CheckerRun::restoreRequested, this, [this] {
        if (m_form) {
            m_form->showNormal();
            m_form->activateWindow();
        }
        if (isMinimized())
            showNormal();
    });
    connect(m_run, &CheckerRun::alertRequested, this, &TRepeatForm::playAlert);
    connect(m_run, &CheckerRun::noticeRequested, this, &TRepeatForm::showNotice);
    connect(m_run, &CheckerRun::favoriteRequested, this,
            [this](const RepeatServer &server) { (void)addFavorite(server); });
    connect(m_run, &CheckerRun::gameRequested, this,
            [this](const RepeatServer &server, const QString &preset) { (void)runGame(server, preset); });
    connect(m_run, &CheckerRun::marksChanged, this, [this](const QStringList &marks) {
        m_script.setMarks(marks);
        for (int i = 0; i < m_repeatPrg->topLevelItemCount() && i < m_script.lineCount(); ++i)
            m_repeatPrg->topLevelItem(i)->setText(4, m_script.rows().at(i).mark);
    });
    connect(&m_sounds, &orv::frontend::SoundBank::alarmNotPlayed, this, &TRepeatForm::alertNotPlayed);
    // The main window closed during the run: the program ends with it.
    connect(m_run, &CheckerRun::finished, this, [this] {
        if (m_programClosing)
            close();
    });
    connect(m_run, &CheckerRun::runningChanged, this, [this](bool running) {
        // The window shows where the run is in its caption, and its own caption again after.
        if (running)
            m_captionBeforeRun = windowTitle();
        else
            setWindowTitle(m_captionBeforeRun);
        QAction *go = m_actions.value(QStringLiteral("A_Go"));
        QAction *stop = m_actions.value(QStringLiteral("A_Stop"));
        // A tool button with more actions than its default one draws a menu arrow: it
        // carries only the one it shows.
        m_goButton->removeAction(running ? go : stop);
        m_goButton->setDefaultAction(running ? stop : go);
        m_closeButton->setEnabled(!running);
        if (running)
            m_servers->setFocus();
        updateActions();
    });

    m_script = CheckerScript::fromPrg(
        {CheckerScript::expressionPrgLine(QStringLiteral("Ping"), QStringLiteral("<"), QString::number(300))});
    syncPrg();
    showRows();
    updateActions();
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TRepeatForm::~TRepeatForm()
{
    TFormStorage::formDestroying(this);
}

void TRepeatForm::buildActions()
{
    for (const EditActionInfo &info : editActions()) {
        auto *action = new QAction(QString::fromLatin1(info.caption), this);
        action->setObjectName(QString::fromLatin1(info.name));
        if (*info.hint) {
            action->setToolTip(QString::fromLatin1(info.hint));
            action->setStatusTip(QString::fromLatin1(info.hint));
        }
        if (*info.shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut), QKeySequence::PortableText));
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        m_actions.insert(action->objectName(), action);
        const EditAction kind = info.action;
        connect(action, &QAction::triggered, this, [this, kind] {
            const int selected = selectedRow();
            switch (kind) {
            case EditAction::Up:
                edit(m_script.moveUp(selected));
                break;
            case EditAction::Down:
                edit(m_script.moveDown(selected));
                break;
            case EditAction::Replace:
                edit(m_script.replace(selected, m_arg->currentText(), m_rule->currentText(), m_value->text()));
                break;
            case EditAction::Add:
                if (m_script.isActionEnabled(EditAction::Add, std::nullopt, m_arg->currentText(), m_rule->currentText(),
                                             m_value->text()))
                    edit(m_script.add(m_arg->currentText(), m_rule->currentText(), m_value->text()));
                break;
            case EditAction::Delete:
                edit(m_script.remove(selected));
                break;
            case EditAction::Clear:
                edit(m_script.clear());
                break;
            case EditAction::Begin:
                edit(m_script.append(ScriptCommand::Begin));
                break;
            case EditAction::End:
                edit(m_script.append(ScriptCommand::End));
                break;
            case EditAction::And:
                edit(m_script.append(ScriptCommand::And));
                break;
            case EditAction::Or:
                edit(m_script.append(ScriptCommand::Or));
                break;
            case EditAction::AndNot:
                edit(m_script.append(ScriptCommand::AndNot));
                break;
            case EditAction::OrNot:
                edit(m_script.append(ScriptCommand::OrNot));
                break;
            case EditAction::Check:
                check();
                break;
            case EditAction::Import:
                importWithDialogs();
                break;
            case EditAction::Export:
                exportWithDialog();
                break;
            }
        });
    }
    auto *goAction = new QAction(QStringLiteral("Go >>>"), this);
    goAction->setObjectName(QStringLiteral("A_Go"));
    goAction->setToolTip(QStringLiteral("Start check servers with your program"));
    connect(goAction, &QAction::triggered, this, [this] {
        m_sounds.click(QStringLiteral("amp.wav"));
        go();
    });
    m_actions.insert(goAction->objectName(), goAction);
    auto *stopAction = new QAction(QStringLiteral("Stop !!!"), this);
    stopAction->setObjectName(QStringLiteral("A_Stop"));
    stopAction->setToolTip(QStringLiteral("Stop checking!"));
    connect(stopAction, &QAction::triggered, this, [this] {
        m_sounds.click(QStringLiteral("amp.wav"));
        stop();
    });
    m_actions.insert(stopAction->objectName(), stopAction);
}

void TRepeatForm::buildStorages()
{
    // Made in this order so that a show loads the names first (which switches to the preset
    // in use) and a close saves the preset in use before the names.
    m_storage2 = new TFormStorage(this, m_store);
    m_storage2->setOptions({});
    m_storage2->setIniSection(presetSection(QStringLiteral("Default")));
    m_storage2->setStoredProps({QStringLiteral("MinimizeWin.Checked"), QStringLiteral("AlertSound.Text"),
                                QStringLiteral("Notice.Text"), QStringLiteral("PlayerPreset.Text"),
                                QStringLiteral("Prg.Items"), QStringLiteral("RepeatDelay.Value")});
    m_storage2->linkCheckList(m_whenRuleRight);
    connect(m_storage2, &TFormStorage::OnRestorePlacement, this, [this] {
        m_storage2Loaded = true;
        prgRestored();
    });

    m_storage1 = new TFormStorage(this, m_store);
    m_storage1->setOptions(TPlacementOption::fpPosition);
    m_storage1->setIniSection(QStringLiteral("Repeat\\Default"));
    m_storage1->setStoredProps({QStringLiteral("RepeatPresets.Items"), QStringLiteral("RepeatPresets.Text")});
    connect(m_storage1, &TFormStorage::OnRestorePlacement, this, [this] { switchPreset(); });
}

void TRepeatForm::setReplaceInChecker(std::function<bool()> query)
{
    m_replaceInChecker = query;
    m_run->setReplaceInChecker(std::move(query));
}

void TRepeatForm::setImportDialogs(std::function<QString()> chooseFile, std::function<std::optional<QString>()> askName)
{
    m_chooseImportFile = std::move(chooseFile);
    m_askImportName = std::move(askName);
}

void TRepeatForm::setExportDialog(std::function<QString(const QString &)> chooseFile)
{
    m_chooseExportFile = std::move(chooseFile);
}

QMessageBox::StandardButton TRepeatForm::message(QMessageBox::Icon kind, const QString &text,
                                                 QMessageBox::StandardButtons buttons)
{
    if (m_messages)
        return m_messages(kind, text, buttons);
    QMessageBox box(kind, QStringLiteral("Orvane"), text, buttons, this);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void TRepeatForm::logText(const QString &text)
{
    if (m_form)
        m_form->log(text);
    emit logLine(text);
}

void TRepeatForm::testAlert()
{
    m_testingAlert = true;
    playAlert();
    m_testingAlert = false;
}

void TRepeatForm::alertNotPlayed(const QString &name, const QString &reason)
{
    const QString text = QStringLiteral("The alert sound \"%1\" cannot be played: %2.").arg(name, reason);
    // The test button answers at once; a run's alarm goes to the log, where the user looks
    // after a silent alert, and holds up nothing.
    if (m_testingAlert)
        message(QMessageBox::Warning, text);
    else
        logText(text);
}

// ---- window ----

void TRepeatForm::closeEvent(QCloseEvent *event)
{
    if (m_run->isRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TRepeatForm::reject()
{
    if (!m_run->isRunning())
        QDialog::reject();
}

void TRepeatForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_closeButton->isEnabled())
            close();
        else if (m_run->isRunning())
            stop();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TRepeatForm::eventFilter(QObject *watched, QEvent *event)
{
    // The main window back from the taskbar or the tray brings this window back with it.
    if (watched == m_form && event->type() == QEvent::WindowStateChange) {
        if (!m_form->isMinimized() && isMinimized())
            showNormal();
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_arg || watched == m_rule || watched == m_playerPreset) {
        // These boxes are chosen from their lists only: Enter adds the expression and typed
        // characters are refused, while Tab, the arrows, Alt+Down and shortcuts work as usual.
        if (enter) {
            m_actions.value(QStringLiteral("A_Add"))->trigger();
            return true;
        }
        const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const QString text = key->text();
        const bool typing = !command && !text.isEmpty() && text.at(0).isPrint() && text != QStringLiteral(" ");
        return typing || QDialog::eventFilter(watched, event);
    }
    if (watched == m_presets || watched == m_presets->lineEdit()) {
        if (enter) {
            addPreset();
            return true;
        }
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orv::checker::ui
