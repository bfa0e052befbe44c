// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/addform.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace orv::frontend {

namespace {

// Exactly four digits, as the ports of that era's servers have.
const QString kPortMask = QStringLiteral("9999;_");

QLineEdit *portEdit(QWidget *parent, const QString &name, const QString &text, const QString &hint)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setInputMask(kPortMask);
    edit->setText(text);
    edit->setToolTip(hint);
    edit->setMaximumWidth(60);
    return edit;
}

} // namespace

TAddForm::TAddForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AddForm"));
    setWindowTitle(tr("Add custom server"));
    setWindowFlags(Qt::Tool);

    m_address = new QLineEdit(QStringLiteral("0.0.0.0"), this);
    m_address->setObjectName(QStringLiteral("Address"));
    m_address->setToolTip(tr("IP address game server"));
    m_port1 = portEdit(this, QStringLiteral("Port1"), QStringLiteral("7777"), tr("Game server UDP port"));
    m_port2 = portEdit(this, QStringLiteral("Port2"), QStringLiteral("7778"), tr("Game server UDP port + 1"));
    connect(m_port1, &QLineEdit::editingFinished, this, &TAddForm::Port1Exit);

    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    auto *add = new QPushButton(tr("Add"), this);
    add->setObjectName(QStringLiteral("AddButton"));
    add->setDefault(true);
    connect(add, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("beep.wav")); });
    connect(add, &QPushButton::clicked, this, &TAddForm::AddClick);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("select.wav")); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(tr("Host IP address"), this), 0, 1);
    grid->addWidget(m_address, 0, 2, 1, 2);
    grid->addWidget(new QLabel(tr("Game Port"), this), 1, 1);
    grid->addWidget(m_port1, 1, 2);
    grid->addWidget(new QLabel(tr("Info Port"), this), 2, 1);
    grid->addWidget(m_port2, 2, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add);
    buttons->addWidget(close);
    grid->addLayout(buttons, 3, 0, 1, 4);

    resize(sizeHint().expandedTo(QSize(343, 125)));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAddForm::Port1Exit()
{
    bool ok = false;
    const int port = m_port1->text().toInt(&ok);
    // A partly typed port is no number; one whose successor needs five digits would be cut
    // to four by the mask, so the info port keeps its text in both cases.
    if (!ok || !m_port1->hasAcceptableInput() || port + 1 > 9999)
        return;
    m_port2->setText(QString::number(port + 1));
}

void TAddForm::AddClick()
{
    // The pause lets the click sound and the button's release be seen before closing.
    QEventLoop pause;
    QTimer::singleShot(300, &pause, &QEventLoop::quit);
    pause.exec();
    accept();
}

void TAddForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Port1Exit();
        AddClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace orv::frontend
