// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace orv::frontend {

class SoundBank;

// The about box: a picture with a hidden hot spot that rolls the credits to the
// program's own tune, which stays silent while sounds are switched off.
class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(SoundBank &sounds, QWidget *parent = nullptr);

    // Where the hot spot sits on the picture.
    static QRect hotSpot() { return {64, 104, 49, 49}; }
    bool isRollingCredits() const;
    void startCredits();
    void stopCredits();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scrollStep();

    SoundBank &m_sound;
    QLabel *m_picture;
    QWidget *m_credits;
    QLabel *m_creditsText;
    QTimer *m_scroll;
    QString m_tunePath;
};

} // namespace orv::frontend
