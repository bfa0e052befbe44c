// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace quillet::ui {

// The about box; while shown, its last line scrolls one character to the left every 100 ms.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QString rotatingText() const;
    // Moves the first character of the rotating line to its end.
    void rotate();
    bool isRotating() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QLabel *m_rotating = nullptr;
    QTimer *m_timer = nullptr;
};

} // namespace quillet::ui
