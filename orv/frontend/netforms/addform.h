// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QKeyEvent;
class QLineEdit;

namespace orv::frontend {

// Asks for a custom server: its address, game port and query ("info") port. The favorites
// read Address, Port1 and Port2 after "Add".
class TAddForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAddForm(QWidget *parent = nullptr);

    QLineEdit *Address() const { return m_address; }
    QLineEdit *Port1() const { return m_port1; }
    QLineEdit *Port2() const { return m_port2; }

    // Leaving the game port sets the info port to game port + 1.
    void Port1Exit();
    // "Add": a short pause, then the dialog closes with the result OK.
    void AddClick();

signals:
    // A button was clicked whose click sound this is; the browser plays it.
    void clickSound(const QString &name);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *m_address = nullptr;
    QLineEdit *m_port1 = nullptr;
    QLineEdit *m_port2 = nullptr;
};

} // namespace orv::frontend
