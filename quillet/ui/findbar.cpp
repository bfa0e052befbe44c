// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/findbar.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

namespace quillet::ui {

FindBar::FindBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    findEdit = new QLineEdit(this);
    findEdit->setPlaceholderText(tr("Find"));
    findEdit->setClearButtonEnabled(true);
    replaceEdit = new QLineEdit(this);
    replaceEdit->setPlaceholderText(tr("Replace with"));
    matchCase = new QCheckBox(tr("Match &case"), this);
    wholeWord = new QCheckBox(tr("&Whole word"), this);
    regularExpression = new QCheckBox(tr("Re&gular expression"), this);
    wrapAround = new QCheckBox(tr("Wra&p around"), this);
    wrapAround->setChecked(true);
    nextButton = new QPushButton(tr("&Next"), this);
    nextButton->setToolTip(tr("Find next (F3)"));
    previousButton = new QPushButton(tr("Pre&vious"), this);
    previousButton->setToolTip(tr("Find previous (Shift+F3)"));
    replaceButton = new QPushButton(tr("&Replace"), this);
    replaceAllButton = new QPushButton(tr("Replace &All"), this);
    for (QPushButton *button : {nextButton, previousButton, replaceButton, replaceAllButton})
        button->setAutoDefault(false);
    auto *close = new QToolButton(this);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAutoRaise(true);
    close->setToolTip(tr("Close (Esc)"));
    m_message = new QLabel(this);
    m_message->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Invalid regular expression")));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(tr("Find:"), this), 0, 0);
    grid->addWidget(findEdit, 0, 1);
    grid->addWidget(nextButton, 0, 2);
    grid->addWidget(previousButton, 0, 3);
    auto *options = new QHBoxLayout;
    options->addWidget(matchCase);
    options->addWidget(wholeWord);
    options->addWidget(regularExpression);
    options->addWidget(wrapAround);
    options->addWidget(m_message, 1);
    grid->addLayout(options, 0, 4);
    grid->addWidget(close, 0, 5);
    m_replaceRow = new QLabel(tr("Replace:"), this);
    grid->addWidget(m_replaceRow, 1, 0);
    grid->addWidget(replaceEdit, 1, 1);
    grid->addWidget(replaceButton, 1, 2);
    grid->addWidget(replaceAllButton, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    connect(nextButton, &QPushButton::clicked, this, [this] { emit findRequested(true); });
    connect(previousButton, &QPushButton::clicked, this, [this] { emit findRequested(false); });
    connect(replaceButton, &QPushButton::clicked, this, &FindBar::replaceRequested);
    connect(replaceAllButton, &QPushButton::clicked, this, &FindBar::replaceAllRequested);
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
    connect(findEdit, &QLineEdit::textChanged, m_message, &QLabel::clear);
    findEdit->installEventFilter(this);
    replaceEdit->installEventFilter(this);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            emit closed();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == replaceEdit)
                emit replaceRequested();
            else
                emit findRequested(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::open(bool withReplace, const QString &text)
{
    m_replaceRow->setVisible(withReplace);
    replaceEdit->setVisible(withReplace);
    replaceButton->setVisible(withReplace);
    replaceAllButton->setVisible(withReplace);
    if (!text.isEmpty())
        findEdit->setText(text);
    m_message->clear();
    show();
    findEdit->setFocus();
    findEdit->selectAll();
}

core::TextPattern FindBar::pattern() const
{
    return {findEdit->text(), matchCase->isChecked(), wholeWord->isChecked(), regularExpression->isChecked()};
}

QString FindBar::replacement() const
{
    return replaceEdit->text();
}

bool FindBar::wrap() const
{
    return wrapAround->isChecked();
}

void FindBar::setMessage(const QString &text)
{
    m_message->setText(text);
}

QString FindBar::message() const
{
    return m_message->text();
}

GotoLineDialog::GotoLineDialog(int current, int lines, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Go to Line"));
    lineNumber = new QSpinBox(this);
    lineNumber->setRange(1, std::max(1, lines));
    lineNumber->setValue(std::clamp(current, 1, std::max(1, lines)));
    lineNumber->selectAll();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QFormLayout(this);
    layout->addRow(tr("&Line number (1 - %1):").arg(std::max(1, lines)), lineNumber);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int GotoLineDialog::line() const
{
    return lineNumber->value();
}

} // namespace quillet::ui
