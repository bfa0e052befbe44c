// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QProgressBar;
class QTimer;

namespace orv::frontend {

// The start-up picture with a progress bar along its bottom edge. It closes itself after
// 2500 ms if the program has not destroyed it by then.
class TSplashForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSteps = 17;

    explicit TSplashForm(QWidget *parent = nullptr);
    void setProgress(int value);
    int progress() const;
    void stepIt();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QProgressBar *m_bar;
    QTimer *m_timer;
};

// "Please wait building list": shown while long lists are filtered, searched or built.
class TBuldingListForm : public QWidget
{
    Q_OBJECT

public:
    explicit TBuldingListForm(QWidget *parent = nullptr);

    void start(int maximum);
    void setPosition(int position);
    void stepIt();
    int position() const;
    int maximum() const;
    void finish();

private:
    QProgressBar *m_bar;
};

} // namespace orv::frontend
