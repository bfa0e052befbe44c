// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QGridLayout;
class QLineEdit;

namespace orv::frontend {

class SoundBank;

// The sounds window: the files played when a game starts, when the program closes and
// when a refresh ends while the browser sits in the tray.
class TSoundsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSoundsForm(SoundBank &sounds, QWidget *parent = nullptr);

    QString startGameSound() const;
    QString exitSound() const;
    QString refreshSound() const;

private:
    QLineEdit *addSoundRow(QGridLayout *grid, int row, const QString &name, const QString &label,
                           const QString &defaultFile);

    SoundBank &m_sounds;
    QLineEdit *m_startgame = nullptr;
    QLineEdit *m_exit = nullptr;
    QLineEdit *m_refresh = nullptr;
};

} // namespace orv::frontend
