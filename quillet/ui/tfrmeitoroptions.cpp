// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/tfrmeitoroptions.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "quillet/ui/colorgrid.h"
#include "quillet/ui/screenplacement.h"

namespace quillet::ui {

namespace {

// Whether every glyph of the font takes the same room, as the user sees it. The font's own
// fixed-pitch flag is not enough: some monospaced fonts (Noto Sans Mono, for one) do not set
// it, and fontconfig picks them for "monospace" where they are installed.
bool hasEvenAdvances(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(QLatin1Char('M'));
    for (const QChar c : QStringLiteral("iWl.0 m_"))
        if (metrics.horizontalAdvance(c) != advance)
            return false;
    return advance > 0;
}

// The font the box shows for a stored name: that family when it is installed, else a
// monospaced one ("Courier New" where installed, else the system's fixed font, else any
// installed family whose glyphs are all equally wide), so that a first run or a font missing
// here never offers a proportional font for code.
QFont editorFont(const QString &family)
{
    if (!family.isEmpty() && QFontDatabase::hasFamily(family))
        return QFont(family);
    // The system's fixed font may name an alias ("monospace"); the box lists real families.
    const QString systemFixed = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    QStringList candidates = {QStringLiteral("Courier New"), systemFixed};
    for (const QString &installed : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(installed))
            candidates.append(installed);
    candidates += QFontDatabase::families();
    for (const QString &candidate : candidates) {
        if (QFontDatabase::hasFamily(candidate) && hasEvenAdvances(QFont(candidate)))
            return QFont(candidate);
    }
    return QFont(systemFixed);
}

// The style list's items in order, with their style bits.
struct StyleItem
{
    const char *text;
    std::uint8_t bit;
};
constexpr std::array<StyleItem, 4> kStyleItems = {{
    {QT_TRANSLATE_NOOP("TfrmEitorOptions", "Italic"), core::fsItalic},
    {QT_TRANSLATE_NOOP("TfrmEitorOptions", "Bold"), core::fsBold},
    {QT_TRANSLATE_NOOP("TfrmEitorOptions", "Strikeout"), core::fsStrikeOut},
    {QT_TRANSLATE_NOOP("TfrmEitorOptions", "Underline"), core::fsUnderline},
}};

} // namespace

TfrmEitorOptions::TfrmEitorOptions(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Editor Options"));
    setObjectName(QStringLiteral("frmEitorOptions"));

    auto *syntax = new QGroupBox(tr("Syntax"), this);
    syntax->setObjectName(QStringLiteral("GroupBox1"));
    ListBox1 = new QListWidget(syntax);
    for (const core::VisibleSlot &slot : core::kVisibleSlots)
        ListBox1->addItem(tr(slot.item));
    ListBox1->setFixedWidth(110);
    auto *divider = new QFrame(syntax);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    ColorGrid1 = new ColorGrid(syntax);
    CheckListBox1 = new QListWidget(syntax);
    for (const StyleItem &item : kStyleItems) {
        auto *entry = new QListWidgetItem(tr(item.text), CheckListBox1);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
    }
    CheckListBox1->setFixedWidth(110);
    auto *syntaxLayout = new QHBoxLayout(syntax);
    syntaxLayout->addWidget(ListBox1);
    syntaxLayout->addWidget(divider);
    syntaxLayout->addWidget(ColorGrid1, 1);
    syntaxLayout->addWidget(CheckListBox1);

    auto *editor = new QGroupBox(tr("Editor"), this);
    editor->setObjectName(QStringLiteral("GroupBox2"));
    spnFontSize = new QSpinBox(editor);
    spnFontSize->setRange(0, 96);
    spnFontSize->setValue(10);
    spnTabTranslation = new QSpinBox(editor);
    spnTabTranslation->setRange(0, 32);
    spnTabTranslation->setValue(2);
    // The numbers change by the arrow buttons only.
    for (QSpinBox *spin : {spnFontSize, spnTabTranslation}) {
        if (auto *edit = spin->findChild<QLineEdit *>())
            edit->setReadOnly(true);
    }
    fntName = new QFontComboBox(editor);
    DirectoryEdit1 = new QLineEdit(QStringLiteral("C:\\UnrealTournament\\System"), editor);
    DirectoryButton = new QToolButton(editor);
    DirectoryButton->setText(QStringLiteral("..."));
    auto *sizeLabel = new QLabel(tr("&Font Size"), editor);
    sizeLabel->setBuddy(spnFontSize);
    auto *fontLabel = new QLabel(tr("&Font"), editor);
    fontLabel->setBuddy(fntName);
    auto *editorLayout = new QGridLayout(editor);
    editorLayout->addWidget(sizeLabel, 0, 0);
    editorLayout->addWidget(spnFontSize, 0, 1);
    editorLayout->addWidget(new QLabel(tr("Tab translation (spaces)"), editor), 0, 2);
    editorLayout->addWidget(spnTabTranslation, 0, 3);
    editorLayout->addWidget(fontLabel, 1, 0);
    editorLayout->addWidget(fntName, 1, 1, 1, 3);
    editorLayout->addWidget(new QLabel(tr("Unreal Tournament (or Unreal) system dir:"), editor), 2, 0, 1, 4);
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(DirectoryEdit1, 1);
    dirRow->addWidget(DirectoryButton);
    editorLayout->addLayout(dirRow, 3, 0, 1, 4);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(syntax);
    layout->addWidget(editor);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TfrmEitorOptions::ListBox1Click);
    connect(ColorGrid1, &ColorGrid::colorsChanged, this, &TfrmEitorOptions::ColorGrid1Change);
    connect(CheckListBox1, &QListWidget::itemChanged, this, &TfrmEitorOptions::CheckListBox1ClickCheck);
    connect(fntName, &QFontComboBox::currentFontChanged, this, &TfrmEitorOptions::fntNameChange);
    connect(spnFontSize, &QSpinBox::valueChanged, this, &TfrmEitorOptions::spnFontSizeChange);
    connect(spnTabTranslation, &QSpinBox::valueChanged, this, &TfrmEitorOptions::spnTabTranslationChange);
    connect(DirectoryEdit1, &QLineEdit::textChanged, this, &TfrmEitorOptions::DirectoryEdit1Change);
    connect(DirectoryButton, &QToolButton::clicked, this, &TfrmEitorOptions::browseDirectory);
}

int TfrmEitorOptions::selectedSlot() const
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= static_cast<int>(core::kVisibleSlots.size()))
        return -1;
    return core::kVisibleSlots[static_cast<std::size_t>(row)].slot;
}

void TfrmEitorOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    FormShow();
    centreOnScreen(*this);
}

void TfrmEitorOptions::FormShow()
{
    m_updatingControls = true;
    fntName->setCurrentFont(editorFont(m_options.EditorFontName));
    if (!m_options.UTSysDir.isEmpty())
        DirectoryEdit1->setText(m_options.UTSysDir);
    if (m_options.EditorFontSize != 0)
        spnFontSize->setValue(m_options.EditorFontSize);
    if (m_options.EditorTabTranslation != 0)
        spnTabTranslation->setValue(m_options.EditorTabTranslation);
    m_updatingControls = false;
    ListBox1->setCurrentRow(0);
    ListBox1Click();
}

void TfrmEitorOptions::ListBox1Click()
{
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    const core::TTokenStyle &style = m_options.tokenStyles[static_cast<std::size_t>(slot)];
    m_updatingControls = true;
    ColorGrid1->setForegroundColor(style.Foreground);
    ColorGrid1->setBackgroundColor(style.Background);
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        const bool set = style.Style & kStyleItems[static_cast<std::size_t>(i)].bit;
        CheckListBox1->item(i)->setCheckState(set ? Qt::Checked : Qt::Unchecked);
    }
    m_updatingControls = false;
}

void TfrmEitorOptions::ColorGrid1Change()
{
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    core::TTokenStyle &style = m_options.tokenStyles[static_cast<std::size_t>(slot)];
    style.Foreground = ColorGrid1->foregroundColor();
    style.Background = ColorGrid1->backgroundColor();
}

void TfrmEitorOptions::CheckListBox1ClickCheck()
{
    const int slot = selectedSlot();
    if (m_updatingControls || slot < 0)
        return;
    std::uint8_t bits = 0;
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            bits |= kStyleItems[static_cast<std::size_t>(i)].bit;
    }
    m_options.tokenStyles[static_cast<std::size_t>(slot)].Style = bits;
}

void TfrmEitorOptions::fntNameChange()
{
    if (!m_updatingControls)
        m_options.EditorFontName = fntName->currentFont().family();
}

void TfrmEitorOptions::spnFontSizeChange()
{
    if (!m_updatingControls && spnFontSize->value() > 0)
        m_options.EditorFontSize = spnFontSize->value();
}

void TfrmEitorOptions::spnTabTranslationChange()
{
    if (!m_updatingControls && spnTabTranslation->value() > 0)
        m_options.EditorTabTranslation = spnTabTranslation->value();
}

void TfrmEitorOptions::DirectoryEdit1Change()
{
    if (!m_updatingControls && !DirectoryEdit1->text().trimmed().isEmpty())
        m_options.UTSysDir = DirectoryEdit1->text();
}

void TfrmEitorOptions::browseDirectory()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Unreal Tournament (or Unreal) system dir:"),
                                                             DirectoryEdit1->text());
    if (!folder.isEmpty())
        DirectoryEdit1->setText(folder);
}

void TfrmEitorOptions::copyOptionsFromControls()
{
    if (spnTabTranslation->value() > 0)
        m_options.EditorTabTranslation = spnTabTranslation->value();
    if (spnFontSize->value() > 0)
        m_options.EditorFontSize = spnFontSize->value();
    if (!DirectoryEdit1->text().trimmed().isEmpty())
        m_options.UTSysDir = DirectoryEdit1->text();
    m_options.EditorFontName = fntName->currentFont().family();
}

void TfrmEitorOptions::done(int result)
{
    // For OK and Cancel alike; the caller ignores the copy after Cancel.
    copyOptionsFromControls();
    QDialog::done(result);
}

} // namespace quillet::ui
