// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/tdlgbuildform.h"

#include <QShowEvent>

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "quillet/ui/screenplacement.h"

namespace quillet::ui {

TdlgBuildForm::TdlgBuildForm(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Build Command..."));
    auto *frame = new QGroupBox(this);
    auto *label = new QLabel(tr("Build Command Line:"), frame);
    auto *note = new QLabel(tr("NOTE: This MUST point to \"UCC.exe\" and include the '.exe' extension!"), frame);
    edtBuildCommand = new QLineEdit(QStringLiteral("C:\\UnrealTournament\\System\\UCC.exe make"), frame);
    edtBuildCommand->setMinimumWidth(380);
    label->setBuddy(edtBuildCommand);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(label);
    frameLayout->addWidget(note);
    frameLayout->addWidget(edtBuildCommand);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TdlgBuildForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreOnScreen(*this);
}

} // namespace quillet::ui
