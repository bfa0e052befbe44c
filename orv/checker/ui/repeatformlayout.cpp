// SPDX-License-Identifier: GPL-3.0-or-later
// The checker window's static layout: the server and script lists, the expression editor,
// the run settings, the preset bar and the run buttons.
#include "orv/checker/ui/repeatform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "orv/checker/argumenttable.h"
#include "orv/checker/presetname.h"
#include "orv/checker/scriptfile.h"
#include "orv/frontend/mainwindow/soundbank.h"

namespace orv::checker::ui {

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

// A picture button for an action: it follows the action's enabled state and hint but keeps
// its own picture (a default action would put the action's caption on it at every change).
QToolButton *pictureButton(QAction *action, const QIcon &picture, const QString &objectName, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(picture);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setToolTip(action->toolTip());
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    return button;
}

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

void TRepeatForm::buildLayout()
{
    setStyleSheet(QStringLiteral("QDialog { background-color: black; } QLabel, QCheckBox { color: lime; }"));
    auto *root = new QVBoxLayout(this);
    buildLists(root);
    buildEditor(root);
    buildRunSettings(root);
    buildPresetBar(root);
    buildRunButtons(root);
}

void TRepeatForm::buildLists(QVBoxLayout *root)
{
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
    // A row chosen by keyboard or mouse loads into the editor, and so does a click on the
    // row that is current already (after a rebuild the first row is current without being
    // selected, and a click on it changes only the selection).
    const auto activated = [this] {
        rowActivated();
        updateActions();
    };
    connect(m_repeatPrg, &QTreeWidget::currentItemChanged, this, activated);
    connect(m_repeatPrg, &QTreeWidget::itemSelectionChanged, this, activated);
    connect(m_repeatPrg, &QTreeWidget::itemClicked, this, activated);
    lists->addWidget(m_repeatPrg, 1);
    root->addLayout(lists, 1);

    m_prg = new QListWidget(this);
    m_prg->setObjectName(QStringLiteral("Prg"));
    m_prg->hide();
}

// The expression editor with the editing buttons and the import/export menu.
void TRepeatForm::buildEditor(QVBoxLayout *root)
{
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
    // The longest expression line must still fit a line of a script file.
    m_value->setMaxLength(scriptfile::kMaxValueLength);
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
}

void TRepeatForm::buildRunSettings(QVBoxLayout *root)
{
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
    connect(testSound, &QToolButton::clicked, this, &TRepeatForm::testAlert);
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
}

void TRepeatForm::buildPresetBar(QVBoxLayout *root)
{
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
    m_addPresetButton = new QToolButton(this);
    m_addPresetButton->setObjectName(QStringLiteral("AddPresetButton"));
    m_addPresetButton->setText(QStringLiteral("+"));
    m_addPresetButton->setToolTip(QStringLiteral("Add preset"));
    connect(m_addPresetButton, &QToolButton::clicked, this, &TRepeatForm::addPreset);
    m_deletePresetButton = new QToolButton(this);
    m_deletePresetButton->setObjectName(QStringLiteral("DeletePresetButton"));
    m_deletePresetButton->setText(QStringLiteral("-"));
    m_deletePresetButton->setToolTip(QStringLiteral("Delete preset"));
    connect(m_deletePresetButton, &QToolButton::clicked, this, &TRepeatForm::deletePreset);
    bottom->addWidget(m_addPresetButton);
    bottom->addWidget(m_deletePresetButton);
    bottom->addWidget(pictureButton(m_actions.value(QStringLiteral("A_Export")),
                                    style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("ExportButton"),
                                    this));
    bottom->addWidget(pictureButton(m_actions.value(QStringLiteral("A_Import")),
                                    style()->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("ImportButton"),
                                    this));
    root->addLayout(bottom);
}

void TRepeatForm::buildRunButtons(QVBoxLayout *root)
{
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

} // namespace orv::checker::ui
