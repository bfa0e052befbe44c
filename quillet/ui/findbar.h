// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QWidget>

#include "quillet/core/findinfiles.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quillet::ui {

// The find and replace bar under the document windows. It only collects what to look for;
// the main window searches the active document.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    // Shows the bar (with the replace row when asked), puts text into the find box when given,
    // and selects the find box.
    void open(bool withReplace, const QString &text);
    core::TextPattern pattern() const;
    QString replacement() const;
    bool wrap() const;
    void setMessage(const QString &text);
    QString message() const;

    QLineEdit *findEdit = nullptr;
    QLineEdit *replaceEdit = nullptr;
    QCheckBox *matchCase = nullptr;
    QCheckBox *wholeWord = nullptr;
    QCheckBox *regularExpression = nullptr;
    QCheckBox *wrapAround = nullptr;
    QPushButton *nextButton = nullptr;
    QPushButton *previousButton = nullptr;
    QPushButton *replaceButton = nullptr;
    QPushButton *replaceAllButton = nullptr;

signals:
    void findRequested(bool forward);
    void replaceRequested();
    void replaceAllRequested();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_replaceRow = nullptr;
    QLabel *m_message = nullptr;
};

// "Go to line": a number from 1 to the document's last line.
class GotoLineDialog : public QDialog
{
    Q_OBJECT

public:
    GotoLineDialog(int current, int lines, QWidget *parent = nullptr);
    int line() const;

    QSpinBox *lineNumber = nullptr;
};

} // namespace quillet::ui
