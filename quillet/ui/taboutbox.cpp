// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/taboutbox.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quillet::ui {

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About"));
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto *product = new QLabel(tr("Quillet"), panel);
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    auto *version = new QLabel(tr("v .80 Alpha"), panel);
    auto *author = new QLabel(tr("UnrealScript editor, 2026"), panel);
    auto *contact = new QLabel(tr("Part of the Orvane tool set"), panel);
    m_rotating = new QLabel(tr("You can bet your ass there is more to come!     "), panel);
    QFont bold = m_rotating->font();
    bold.setBold(true);
    m_rotating->setFont(bold);
    m_rotating->setStyleSheet(QStringLiteral("color: teal"));
    auto *panelLayout = new QVBoxLayout(panel);
    for (QLabel *label : {product, version, author, contact, m_rotating})
        panelLayout->addWidget(label);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_timer = new QTimer(this);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &TAboutBox::rotate);
}

QString TAboutBox::rotatingText() const
{
    return m_rotating->text();
}

void TAboutBox::rotate()
{
    const QString text = m_rotating->text();
    if (text.size() > 1)
        m_rotating->setText(text.mid(1) + text.at(0));
}

bool TAboutBox::isRotating() const
{
    return m_timer->isActive();
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_timer->start();
}

void TAboutBox::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QDialog::hideEvent(event);
}

} // namespace quillet::ui
