// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "orv/net/internetlistbuilder.h"

namespace orv::frontend {

// "What list download?": asks which game's master lists to fetch this time.
class TWhatListForm : public QDialog
{
    Q_OBJECT

public:
    explicit TWhatListForm(QWidget *parent = nullptr);

    // Shows the window modally; "Close" and closing the window give Cancel.
    net::ListChoice ask();
    net::ListChoice choice() const { return m_choice; }

    void choose(net::ListChoice choice);

signals:
    // A button was clicked whose click sound this is; the browser plays it.
    void clickSound(const QString &name);

private:
    net::ListChoice m_choice = net::ListChoice::Cancel;
};

} // namespace orv::frontend
