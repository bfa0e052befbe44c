// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace orv::tools {

// The file-name editor the INI editor puts over a value that names a file: a line edit
// and a browse button. committed() comes on Enter or when the focus leaves the box (the
// browse dialog taking the focus does not count); browseRequested() when the button is
// pressed, so the owner can run the file dialog.
class FileNameBox : public QWidget
{
    Q_OBJECT

public:
    explicit FileNameBox(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QLineEdit *lineEdit() const { return m_edit; }

signals:
    void committed();
    void browseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit = nullptr;
    QToolButton *m_browse = nullptr;
};

} // namespace orv::tools
