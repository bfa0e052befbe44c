// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/findinfilesdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace quillet::ui {

FindInFilesDialog::FindInFilesDialog(const QString &text, const QString &folder, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Find in Files"));
    findEdit = new QLineEdit(text, this);
    findEdit->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    folderEdit = new QLineEdit(QDir::toNativeSeparators(folder), this);
    auto *browse = new QPushButton(tr("&Browse..."), this);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(folderEdit, 1);
    folderRow->addWidget(browse);
    classesOnly = new QCheckBox(tr("Only the packages' &Classes folders (*/Classes/*.uc)"), this);
    classesOnly->setChecked(true);
    matchCase = new QCheckBox(tr("Match &case"), this);
    wholeWord = new QCheckBox(tr("&Whole word"), this);
    regularExpression = new QCheckBox(tr("Re&gular expression"), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Find"));

    auto *layout = new QFormLayout(this);
    layout->addRow(tr("Fi&nd:"), findEdit);
    layout->addRow(tr("&Folder:"), folderRow);
    layout->addRow(QString(), classesOnly);
    auto *options = new QHBoxLayout;
    options->addWidget(matchCase);
    options->addWidget(wholeWord);
    options->addWidget(regularExpression);
    options->addStretch(1);
    layout->addRow(QString(), options);
    layout->addRow(buttons);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(this, tr("Folder to search"), this->folder());
        if (!chosen.isEmpty())
            folderEdit->setText(QDir::toNativeSeparators(chosen));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto updateOk = [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!findEdit->text().isEmpty());
    };
    connect(findEdit, &QLineEdit::textChanged, this, updateOk);
    updateOk();
}

core::TextPattern FindInFilesDialog::pattern() const
{
    return {findEdit->text(), matchCase->isChecked(), wholeWord->isChecked(), regularExpression->isChecked()};
}

QString FindInFilesDialog::folder() const
{
    return QDir::fromNativeSeparators(folderEdit->text().trimmed());
}

bool FindInFilesDialog::packageClassesOnly() const
{
    return classesOnly->isChecked();
}

} // namespace quillet::ui
