// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/soundsform.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "orv/frontend/mainwindow/soundbank.h"

namespace orv::frontend {

TSoundsForm::TSoundsForm(SoundBank &sounds, QWidget *parent)
    : QDialog(parent)
    , m_sounds(sounds)
{
    setObjectName(QStringLiteral("SoundsForm"));
    setWindowTitle(QStringLiteral("Sounds"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    auto *grid = new QGridLayout(this);
    m_startgame =
        addSoundRow(grid, 0, QStringLiteral("Startgame"), QStringLiteral("Start game"), QStringLiteral("prepare.wav"));
    m_exit = addSoundRow(grid, 1, QStringLiteral("Exit"), QStringLiteral("Exit"), QStringLiteral("exit.wav"));
    m_refresh = addSoundRow(grid, 2, QStringLiteral("Refresh"), QStringLiteral("Refresh complete\n(in Tray mode)"),
                            QStringLiteral("whawhaw.wav"));

    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("select.wav"));
        reject();
    });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 4);
    resize(287 + 80, 121 + 30);
}

QLineEdit *TSoundsForm::addSoundRow(QGridLayout *grid, int row, const QString &name, const QString &label,
                                    const QString &defaultFile)
{
    auto *edit = new QLineEdit(defaultFile, this);
    edit->setObjectName(name);
    auto *browse = new QToolButton(this);
    browse->setText(QStringLiteral("…"));
    browse->setToolTip(QStringLiteral("Browse file"));
    auto *test = new QToolButton(this);
    test->setText(QStringLiteral("▶"));
    test->setToolTip(QStringLiteral("Test..."));
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(browse, row, 2);
    grid->addWidget(test, row, 3);

    connect(browse, &QToolButton::clicked, this, [this, edit] {
        const QString file =
            QFileDialog::getOpenFileName(this, QStringLiteral("Files"), edit->text(), QStringLiteral("Sounds (*.wav)"));
        if (!file.isEmpty())
            edit->setText(file);
    });
    // Paths pasted from a file manager often come in double quotes.
    connect(test, &QToolButton::clicked, this, [this, edit] { m_sounds.play(edit->text().remove(QLatin1Char('"'))); });
    return edit;
}

QString TSoundsForm::startGameSound() const
{
    return m_startgame->text();
}

QString TSoundsForm::exitSound() const
{
    return m_exit->text();
}

QString TSoundsForm::refreshSound() const
{
    return m_refresh->text();
}

} // namespace orv::frontend
