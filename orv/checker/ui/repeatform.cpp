// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ui/repeatform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "orv/checker/argumenttable.h"
#include "orv/checker/presetname.h"
#include "orv/checker/scriptfile.h"
#include "orv/checker/ui/repeatlistform.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/listtools/favorites.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/gamelauncher.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"

namespace orv::checker::ui {

using orv::frontend::TFormStorage;
using orv::frontend::TPlacementOption;

namespace {

const QString kLook = QStringLiteral("background-color: black; color: lime;");

// A drop-down box that reports when its list is opened.
class PopupComboBox : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> onPopup;

    void showPopup() override
    {
        if (onPopup)
            onPopup();
        QComboBox::showPopup();
    }
};

// The delay box: a typed value outside the bounds is brought back to the nearer bound
// instead of being refused or reverted.
class DelaySpinBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

    QValidator::State validate(QString &input, int &) const override
    {
        if (input.isEmpty())
            return QValidator::Intermediate;
        bool ok = false;
        const qlonglong n = input.toLongLong(&ok);
        if (!ok || input.size() > 12)
            return QValidator::Invalid;
        return n >= minimum() && n <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    }

    void fixup(QString &input) const override
    {
        bool ok = false;
        const qlonglong n = input.toLongLong(&ok);
        input = QString::number(ok ? clampRepeatDelay(n) : value());
    }
};

QToolButton *actionButton(QAction *action, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

const RuleRightAction kActionsInOrder[] = {RuleRightAction::RunGame,       RuleRightAction::UseOtherPlayerPreset,
                                           RuleRightAction::PlaySound,     RuleRightAction::ShowNotice,
                                           RuleRightAction::RestoreWindow, RuleRightAction::AddToFavorites};

} // namespace

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

    CheckerRunHooks hooks;
    hooks.log = [this](const QString &text) {
        if (m_form)
            m_form->log(text);
        emit logLine(text);
    };
    hooks.trayAnimation = [this](bool on) {
        if (m_form)
            m_form->setTrayBusy(on);
    };
    hooks.trayHint = [this](const QString &hint) {
        if (m_form)
            m_form->setTrayHint(hint);
    };
    hooks.caption = [this](const QString &text) { setWindowTitle(text); };
    hooks.currentCaption = [this] { return windowTitle(); };
    hooks.rowSelected = [this](int row) {
        if (QTreeWidgetItem *item = m_servers->topLevelItem(row)) {
            m_servers->setCurrentItem(item);
            m_servers->scrollToItem(item);
        }
    };
    hooks.minimizeApplication = [this] {
        if (m_form)
            m_form->showMinimized();
    };
    hooks.restoreApplication = [this] {
        if (m_form) {
            m_form->showNormal();
            m_form->activateWindow();
        }
    };
    hooks.programClosing = [this] { return m_engine.isExitPending(); };
    hooks.playAlert = [this] { playAlert(); };
    hooks.showNotice = [this] { showNotice(); };
    hooks.addFavorite = [this](const RepeatServer &server) { return addFavorite(server); };
    hooks.runGame = [this](const RepeatServer &server, const QString &preset) { return runGame(server, preset); };
    hooks.marksChanged = [this](const QStringList &marks) {
        m_script.setMarks(marks);
        for (int i = 0; i < m_repeatPrg->topLevelItemCount() && i < m_script.lineCount(); ++i)
            m_repeatPrg->topLevelItem(i)->setText(4, m_script.rows().at(i).mark);
    };
    m_run->setHooks(std::move(hooks));
    connect(m_run, &CheckerRun::runningChanged, this, [this](bool running) {
        m_goButton->setDefaultAction(running ? m_actions.value(QStringLiteral("A_Stop"))
                                             : m_actions.value(QStringLiteral("A_Go")));
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

void TRepeatForm::buildLayout()
{
    setStyleSheet(QStringLiteral("QDialog { background-color: black; } QLabel, QCheckBox { color: lime; }"));
    auto *root = new QVBoxLayout(this);

    auto *lists = new QHBoxLayout;
    m_servers = new QTreeWidget(this);
    m_servers->setObjectName(QStringLiteral("ServersToRepeat"));
    m_servers->setToolTip(QStringLiteral("Servers to check..."));
    m_servers->setHeaderLabels(
        {QStringLiteral("Sever name"), QStringLiteral("IP"), QStringLiteral("Game Port"), QStringLiteral("Info Port")});
    m_servers->setRootIsDecorated(false);
    m_servers->setColumnWidth(0, 105);
    for (int c = 1; c < 4; ++c)
        m_servers->setColumnHidden(c, true);
    m_servers->setSortingEnabled(false);
    m_servers->header()->setSectionsClickable(false);
    m_servers->setStyleSheet(kLook);
    m_servers->setFixedWidth(130);
    lists->addWidget(m_servers);

    m_repeatPrg = new QTreeWidget(this);
    m_repeatPrg->setObjectName(QStringLiteral("RepeatPrg"));
    m_repeatPrg->setHeaderLabels({QStringLiteral("Cmd"), QStringLiteral("Arg"), QStringLiteral("Rule"),
                                  QStringLiteral("Value"), QStringLiteral("?")});
    m_repeatPrg->setRootIsDecorated(false);
    m_repeatPrg->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_repeatPrg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_repeatPrg->header()->setSectionsClickable(false);
    m_repeatPrg->header()->setStretchLastSection(false);
    const int widths[] = {40, 95, 34, 110, 20};
    for (int c = 0; c < 5; ++c)
        m_repeatPrg->setColumnWidth(c, widths[c]);
    m_repeatPrg->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    m_repeatPrg->headerItem()->setTextAlignment(2, Qt::AlignCenter);
    m_repeatPrg->setStyleSheet(kLook);
    m_repeatPrg->setMinimumWidth(320);
    m_repeatPrg->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_repeatPrg, &QTreeWidget::currentItemChanged, this, [this] {
        rowActivated();
        updateActions();
    });
    lists->addWidget(m_repeatPrg, 1);
    root->addLayout(lists, 1);

    m_prg = new QListWidget(this);
    m_prg->setObjectName(QStringLiteral("Prg"));
    m_prg->hide();

    // The expression editor.
    m_editor = new QWidget(this);
    auto *editor = new QVBoxLayout(m_editor);
    editor->setContentsMargins(0, 0, 0, 0);
    auto *boxes = new QHBoxLayout;
    auto *arg = new PopupComboBox(m_editor);
    arg->onPopup = [this] { refillPlayerPresets(); };
    m_arg = arg;
    m_arg->setObjectName(QStringLiteral("Arg"));
    for (const CheckerArgument &a : checkerArguments())
        m_arg->addItem(QString::fromLatin1(a.name));
    m_arg->setCurrentText(QStringLiteral("Ping"));
    m_arg->setToolTip(QStringLiteral("Variable where store given data received from interviewed server"));
    auto *rule = new PopupComboBox(m_editor);
    rule->onPopup = [this] { refillPlayerPresets(); };
    m_rule = rule;
    m_rule->setObjectName(QStringLiteral("Rule"));
    for (const char *r : ruleTexts())
        m_rule->addItem(QString::fromLatin1(r));
    m_rule->setCurrentText(QStringLiteral("<"));
    m_rule->setToolTip(ruleHint());
    m_value = new QLineEdit(QStringLiteral("300"), m_editor);
    m_value->setObjectName(QStringLiteral("Value"));
    m_value->setToolTip(QStringLiteral("Your value which used for checking"));
    connect(m_value, &QLineEdit::returnPressed, this, [this] { m_actions.value(QStringLiteral("A_Add"))->trigger(); });
    connect(m_value, &QLineEdit::textChanged, this, &TRepeatForm::updateActions);
    m_arg->installEventFilter(this);
    m_rule->installEventFilter(this);
    boxes->addWidget(m_arg, 2);
    boxes->addWidget(m_rule, 1);
    boxes->addWidget(m_value, 2);
    editor->addLayout(boxes);

    m_impExpMenu = new QMenu(this);
    m_impExpMenu->setObjectName(QStringLiteral("impExpMenu"));
    auto *buttons1 = new QHBoxLayout;
    auto *buttons2 = new QHBoxLayout;
    auto *buttons3 = new QHBoxLayout;
    for (const EditActionInfo &info : editActions()) {
        QAction *a = m_actions.value(QString::fromLatin1(info.name));
        if (info.action == EditAction::Begin || info.action == EditAction::Check)
            m_impExpMenu->addSeparator();
        m_impExpMenu->addAction(a);
        QHBoxLayout *row = info.action < EditAction::Begin   ? buttons1
                           : info.action < EditAction::Check ? buttons2
                                                             : buttons3;
        row->addWidget(actionButton(a, m_editor));
    }
    connect(m_repeatPrg, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_impExpMenu->popup(m_repeatPrg->viewport()->mapToGlobal(pos)); });
    editor->addLayout(buttons1);
    editor->addLayout(buttons2);
    editor->addLayout(buttons3);
    // The shortcuts work anywhere in the window.
    addActions(m_actions.values());
    root->addWidget(m_editor);

    // Run settings.
    auto *settings = new QGridLayout;
    settings->addWidget(new QLabel(QStringLiteral("When rule is right"), this), 0, 0);
    m_whenRuleRight = new QListWidget(this);
    m_whenRuleRight->setObjectName(QStringLiteral("WhenRuleRight"));
    const RunSettings defaults;
    for (RuleRightAction a : kActionsInOrder) {
        auto *item = new QListWidgetItem(ruleRightActionCaption(a), m_whenRuleRight);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(defaults.isChecked(a) ? Qt::Checked : Qt::Unchecked);
    }
    m_whenRuleRight->setStyleSheet(kLook);
    m_whenRuleRight->setFixedHeight(6 * 18 + 6);
    settings->addWidget(m_whenRuleRight, 1, 0, 5, 1);

    m_minimizeWin = new QCheckBox(QStringLiteral("Minimize window after start checking"), this);
    m_minimizeWin->setObjectName(QStringLiteral("MinimizeWin"));
    m_minimizeWin->setChecked(defaults.minimizeWindow);
    settings->addWidget(m_minimizeWin, 0, 1, 1, 3);

    settings->addWidget(new QLabel(QStringLiteral("Alert sound"), this), 1, 1);
    m_alertSound = new QLineEdit(defaults.alertSound, this);
    m_alertSound->setObjectName(QStringLiteral("AlertSound"));
    settings->addWidget(m_alertSound, 1, 2);
    auto *browse = new QToolButton(this);
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Browse file"));
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString file =
            QFileDialog::getOpenFileName(this, QStringLiteral("Files"), QString(), QStringLiteral("Sounds (*.wav)"));
        if (!file.isEmpty())
            m_alertSound->setText(file);
    });
    auto *testSound = new QToolButton(this);
    testSound->setText(QStringLiteral("!"));
    testSound->setToolTip(QStringLiteral("Test...."));
    connect(testSound, &QToolButton::clicked, this, &TRepeatForm::playAlert);
    auto *soundButtons = new QHBoxLayout;
    soundButtons->addWidget(browse);
    soundButtons->addWidget(testSound);
    settings->addLayout(soundButtons, 1, 3);

    settings->addWidget(new QLabel(QStringLiteral("Notice"), this), 2, 1);
    m_notice = new QLineEdit(defaults.notice, this);
    m_notice->setObjectName(QStringLiteral("Notice"));
    settings->addWidget(m_notice, 2, 2);
    auto *testNotice = new QToolButton(this);
    testNotice->setText(QStringLiteral("!"));
    testNotice->setToolTip(QStringLiteral("Test...."));
    connect(testNotice, &QToolButton::clicked, this, &TRepeatForm::showNotice);
    settings->addWidget(testNotice, 2, 3);

    settings->addWidget(new QLabel(QStringLiteral("Player preset"), this), 3, 1);
    auto *playerPreset = new PopupComboBox(this);
    playerPreset->onPopup = [this] { refillPlayerPresets(); };
    m_playerPreset = playerPreset;
    m_playerPreset->setObjectName(QStringLiteral("PlayerPreset"));
    m_playerPreset->installEventFilter(this);
    settings->addWidget(m_playerPreset, 3, 2, 1, 2);

    settings->addWidget(new QLabel(QStringLiteral("Repeat delay"), this), 4, 1);
    m_repeatDelay = new DelaySpinBox(this);
    m_repeatDelay->setObjectName(QStringLiteral("RepeatDelay"));
    m_repeatDelay->setRange(kMinRepeatDelay, kMaxRepeatDelay);
    m_repeatDelay->setValue(defaults.repeatDelay);
    m_repeatDelay->setToolTip(QStringLiteral("1000 msec - 1 sec"));
    m_repeatDelay->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    settings->addWidget(m_repeatDelay, 4, 2);
    settings->addWidget(new QLabel(QStringLiteral("msec"), this), 4, 3);
    root->addLayout(settings);

    // Presets and the run buttons.
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Checker Presets"), this));
    auto *presets = new PopupComboBox(this);
    presets->onPopup = [this] { m_presetListOpened = true; };
    m_presets = presets;
    m_presets->setObjectName(QStringLiteral("RepeatPresets"));
    m_presets->setEditable(true);
    m_presets->setInsertPolicy(QComboBox::NoInsert);
    m_presets->lineEdit()->setMaxLength(kMaxPresetNameLength);
    m_presets->lineEdit()->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^./\\\\]{0,%1}").arg(kMaxPresetNameLength)), m_presets));
    m_presets->setEditText(QStringLiteral("Default"));
    m_presets->installEventFilter(this);
    m_presets->lineEdit()->installEventFilter(this);
    connect(m_presets, &QComboBox::textActivated, this, [this] {
        if (!m_presetListOpened)
            return;
        m_presetListOpened = false;
        switchPreset();
    });
    bottom->addWidget(m_presets, 1);
    auto *addPresetButton = new QToolButton(this);
    addPresetButton->setText(QStringLiteral("+"));
    addPresetButton->setToolTip(QStringLiteral("Add preset"));
    connect(addPresetButton, &QToolButton::clicked, this, &TRepeatForm::addPreset);
    auto *deletePresetButton = new QToolButton(this);
    deletePresetButton->setText(QStringLiteral("-"));
    deletePresetButton->setToolTip(QStringLiteral("Delete preset"));
    connect(deletePresetButton, &QToolButton::clicked, this, &TRepeatForm::deletePreset);
    bottom->addWidget(addPresetButton);
    bottom->addWidget(deletePresetButton);
    auto *exportButton = new QToolButton(this);
    exportButton->setDefaultAction(m_actions.value(QStringLiteral("A_Export")));
    exportButton->setText(QStringLiteral("Exp"));
    auto *importButton = new QToolButton(this);
    importButton->setDefaultAction(m_actions.value(QStringLiteral("A_Import")));
    importButton->setText(QStringLiteral("Imp"));
    bottom->addWidget(exportButton);
    bottom->addWidget(importButton);
    root->addLayout(bottom);

    auto *run = new QHBoxLayout;
    auto *goButton = new QToolButton(this);
    goButton->setObjectName(QStringLiteral("GoButton"));
    goButton->setDefaultAction(m_actions.value(QStringLiteral("A_Go")));
    goButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    goButton->setMinimumWidth(120);
    m_goButton = goButton;
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    m_closeButton->setAutoDefault(false);
    connect(m_closeButton, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("select.wav"));
        close();
    });
    run->addStretch(1);
    run->addWidget(goButton);
    run->addWidget(m_closeButton);
    root->addLayout(run);
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

// ---- the script editor ----

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
    m_editor->setEnabled(idle);
    m_presets->setEnabled(idle);
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

void TRepeatForm::addPreset()
{
    const QString name = presetText();
    switch (checkPresetAdd(presetNames(), name)) {
    case PresetAdd::Ignored:
        return;
    case PresetAdd::Duplicate:
        message(QMessageBox::Critical, duplicatePresetMessage());
        return;
    case PresetAdd::Added:
        break;
    }
    m_presets->addItem(name);
    m_presets->setEditText(name);
    pointStorage2At(name);
    if (const platform::Status saved = m_storage2->SaveSettings(); !saved) {
        message(QMessageBox::Critical, saved.error().message);
        return;
    }
    // The shown settings are now exactly the new preset's.
    m_storage2Loaded = true;
    message(QMessageBox::Information, QStringLiteral("Checker preset added!"));
}

void TRepeatForm::deletePreset()
{
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
    if (name.isEmpty())
        return;
    if (const auto problem = importedPresetNameProblem(name)) {
        message(QMessageBox::Critical, *problem);
        return;
    }
    switch (checkPresetAdd(presetNames(), name)) {
    case PresetAdd::Ignored:
        return;
    case PresetAdd::Duplicate:
        message(QMessageBox::Critical, duplicatePresetMessage());
        return;
    case PresetAdd::Added:
        break;
    }
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

// ---- servers and the run ----

void TRepeatForm::setServers(const QList<RepeatServer> &servers)
{
    m_servers->clear();
    for (const RepeatServer &s : servers)
        m_servers->addTopLevelItem(new QTreeWidgetItem({s.name, s.address, s.gamePort, s.queryPort}));
    m_servers->sortItems(0, Qt::AscendingOrder);
    updateActions();
}

QList<RepeatServer> TRepeatForm::servers() const
{
    QList<RepeatServer> list;
    for (int i = 0; i < m_servers->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_servers->topLevelItem(i);
        list.append({item->text(0), item->text(1), item->text(2), item->text(3)});
    }
    return list;
}

void TRepeatForm::takeSelectedServer(orv::frontend::TMainForm &form)
{
    orv::frontend::ServerView *view = form.currentView();
    const int row = view ? view->currentRow() : -1;
    const orv::engine::ServerListModel *model = &m_engine.currentView();
    if (row < 0 || !model || row >= model->size())
        return;
    const orv::engine::ServerEntry &entry = model->row(row);
    setServers({{entry.caption, entry.column(orv::engine::kColumnAddress), entry.column(orv::engine::kColumnGamePort),
                 entry.column(orv::engine::kColumnQueryPort)}});
    show();
    raise();
}

void TRepeatForm::attachTo(orv::frontend::TMainForm &form, TRepeatListForm &selection)
{
    m_form = &form;
    if (QAction *a = form.action(QStringLiteral("A_RepeatSelected")))
        connect(a, &QAction::triggered, this, [this, &form] { takeSelectedServer(form); });
    if (QAction *a = form.action(QStringLiteral("A_RepeatMultiple"))) {
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
    m_run->run(
        list, [this]() -> const CheckerScript & { return m_script; }, runSettings(), presetText());
}

void TRepeatForm::stop()
{
    m_run->stop();
}

void TRepeatForm::playAlert()
{
    // The alert sounds even while the program's sounds are switched off.
    const bool enabled = m_sounds.isEnabled();
    m_sounds.setEnabled(true);
    m_sounds.play(alertSoundName(m_alertSound->text()));
    m_sounds.setEnabled(enabled);
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
    if (!m_engine.addFavorite({server.address, server.gamePort, server.queryPort}))
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
    const std::optional<int> row =
        model ? model->FindRow(server.address, server.gamePort, server.queryPort) : std::nullopt;
    if (!row)
        return false;
    if (orv::frontend::ServerView *view = m_form->currentView())
        view->selectRow(*row);
    if (m_launcher) {
        if (!playerPreset.isEmpty())
            m_launcher->runWithPreset(playerPreset);
        else
            m_launcher->A_UnrealviaNet();
    }
    return true;
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
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_arg || watched == m_rule || watched == m_playerPreset) {
        // These boxes are chosen from their lists only; Enter adds the expression.
        if (enter)
            m_actions.value(QStringLiteral("A_Add"))->trigger();
        return true;
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
