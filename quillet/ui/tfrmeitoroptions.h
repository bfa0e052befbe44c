// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "quillet/core/editoroptions.h"

class QFontComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QToolButton;

namespace quillet::ui {

class ColorGrid;

// The modal "Editor Options" dialog: colours and font styles of the visible token slots,
// font, size, tab translation and the game's system folder. It edits its own copy of the
// options; the caller copies them back only when the dialog was confirmed.
class TfrmEitorOptions : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmEitorOptions(QWidget *parent = nullptr);

    void setEditorOptions(const core::EditorOptions &options) { m_options = options; }
    const core::EditorOptions &editorOptions() const { return m_options; }

    QListWidget *ListBox1 = nullptr;
    ColorGrid *ColorGrid1 = nullptr;
    QListWidget *CheckListBox1 = nullptr;
    QSpinBox *spnFontSize = nullptr;
    QSpinBox *spnTabTranslation = nullptr;
    QFontComboBox *fntName = nullptr;
    QLineEdit *DirectoryEdit1 = nullptr;
    QToolButton *DirectoryButton = nullptr;

    // The slot of the selected list item, -1 when none is selected.
    int selectedSlot() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void ListBox1Click();
    void ColorGrid1Change();
    void CheckListBox1ClickCheck();
    void fntNameChange();
    void spnFontSizeChange();
    void spnTabTranslationChange();
    void DirectoryEdit1Change();
    void browseDirectory();
    void copyOptionsFromControls();

    core::EditorOptions m_options;
    bool m_updatingControls = false;
};

} // namespace quillet::ui
