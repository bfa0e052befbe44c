// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "quillet/core/findinfiles.h"

class QCheckBox;
class QLineEdit;

namespace quillet::ui {

// Asks what to find in which folder; by default the Classes folders of the game's packages.
class FindInFilesDialog : public QDialog
{
    Q_OBJECT

public:
    FindInFilesDialog(const QString &text, const QString &folder, QWidget *parent = nullptr);

    core::TextPattern pattern() const;
    QString folder() const;
    bool packageClassesOnly() const;

    QLineEdit *findEdit = nullptr;
    QLineEdit *folderEdit = nullptr;
    QCheckBox *classesOnly = nullptr;
    QCheckBox *matchCase = nullptr;
    QCheckBox *wholeWord = nullptr;
    QCheckBox *regularExpression = nullptr;
};

} // namespace quillet::ui
