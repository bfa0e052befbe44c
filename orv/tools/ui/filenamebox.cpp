// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/filenamebox.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace orv::tools {

FileNameBox::FileNameBox(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_browse(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_browse);
    m_browse->setText(QStringLiteral("..."));
    // The button never takes the focus, so pressing it does not count as leaving the box.
    m_browse->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::returnPressed, this, &FileNameBox::committed);
    connect(m_browse, &QToolButton::clicked, this, &FileNameBox::browseRequested);
}

QString FileNameBox::text() const
{
    return m_edit->text();
}

void FileNameBox::setText(const QString &text)
{
    m_edit->setText(text);
}

bool FileNameBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            emit committed();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orv::tools
