// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/apptheme.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace orv::frontend {

void applyTheme(QApplication &app)
{
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QPalette p;
    const QColor window(0x14, 0x14, 0x14);
    const QColor base(0x00, 0x00, 0x00);
    const QColor text(0xdc, 0xdc, 0xdc);
    const QColor lime(0x32, 0xff, 0x32);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(0x0a, 0x12, 0x0a));
    p.setColor(QPalette::Text, lime);
    p.setColor(QPalette::Button, QColor(0x1f, 0x1f, 0x1f));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x1f, 0x5f, 0x1f));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xee, 0x93));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Link, QColor(0x5f, 0xd7, 0xff));
    p.setColor(QPalette::PlaceholderText, QColor(0x70, 0x70, 0x70));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x50, 0x70, 0x50));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6a, 0x6a, 0x6a));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x6a, 0x6a, 0x6a));
    QApplication::setPalette(p);
    app.setStyleSheet(QStringLiteral("QToolTip { background: #ffee93; color: black; border: 1px solid #808080; }"));
}

} // namespace orv::frontend
