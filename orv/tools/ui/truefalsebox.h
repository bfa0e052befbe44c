// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

namespace orv::tools {

// The True/False list the INI editor puts over a switch-like value. It keeps whatever
// text the cell had until the user picks an item or types; it reports committed() when an
// item is picked, Enter is pressed or the focus leaves it (but not for its own pop-up).
class TrueFalseBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TrueFalseBox(QWidget *parent = nullptr);

signals:
    void committed();

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace orv::tools
