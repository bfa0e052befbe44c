// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;

namespace quillet::ui {

// The "Build Command..." dialog: one line naming the compiler and its parameters.
class TdlgBuildForm : public QDialog
{
    Q_OBJECT

public:
    explicit TdlgBuildForm(QWidget *parent = nullptr);

    QLineEdit *edtBuildCommand = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace quillet::ui
