// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/userprompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace quillet::ui {

void DialogPrompts::error(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

void DialogPrompts::information(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

bool DialogPrompts::confirm(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, QApplication::applicationName(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool DialogPrompts::confirmDefaultNo(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, QApplication::applicationName(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

SaveAnswer DialogPrompts::askToSave(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    // Escape, Alt+F4 and the title bar's close button all end in Cancel: the edits stay.
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return SaveAnswer::Yes;
    case QMessageBox::No:
        return SaveAnswer::No;
    default:
        return SaveAnswer::Cancel;
    }
}

QString DialogPrompts::openFileName(QWidget *parent, const QString &directory, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), directory, filter);
}

QString DialogPrompts::saveFileName(QWidget *parent, const QString &initialName, const QString &filter)
{
    // The name is used as typed: no default suffix is added.
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

int DialogPrompts::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

} // namespace quillet::ui
