// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace heraldex::ui {

// The announcer's one window.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
};

} // namespace heraldex::ui
