// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/whatlistform.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orv::frontend {

TWhatListForm::TWhatListForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("WhatListForm"));
    setWindowTitle(tr("What list download?"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    auto *layout = new QVBoxLayout(this);
    const struct
    {
        const char *name;
        QString caption;
        net::ListChoice choice;
    } buttons[] = {
        {"UnrealButton", tr("Unreal"), net::ListChoice::Unreal},
        {"UTButton", tr("Unreal Tournament"), net::ListChoice::UnrealTournament},
        {"MergeButton", tr("Merge lists"), net::ListChoice::MergeLists},
        {"CloseButton", tr("Close"), net::ListChoice::Cancel},
    };
    for (const auto &b : buttons) {
        auto *button = new QPushButton(b.caption, this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setAutoDefault(false);
        const net::ListChoice choice = b.choice;
        const QString sound =
            choice == net::ListChoice::Cancel ? QStringLiteral("select.wav") : QStringLiteral("beep.wav");
        connect(button, &QPushButton::clicked, this, [this, choice, sound] {
            emit clickSound(sound);
            choose(choice);
        });
        layout->addWidget(button);
    }
    // The buttons alone would make the window narrower than its caption, which the title
    // bar would then cut short; leave room for the caption (title bars mostly show it bold),
    // the window icon and the title bar's buttons.
    QFont title = font();
    title.setBold(true);
    setMinimumWidth(qMax(260, QFontMetrics(title).horizontalAdvance(windowTitle()) + 150));
}

net::ListChoice TWhatListForm::ask()
{
    m_choice = net::ListChoice::Cancel;
    adjustSize();
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
    return m_choice;
}

void TWhatListForm::choose(net::ListChoice choice)
{
    m_choice = choice;
    if (choice == net::ListChoice::Cancel)
        reject();
    else
        accept();
}

} // namespace orv::frontend
