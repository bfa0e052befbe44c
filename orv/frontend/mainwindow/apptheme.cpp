// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/apptheme.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QToolTip>
#include <QWidget>

namespace orv::frontend {

namespace {

// The hint colour, the Windows colour value 16749459 (0x00BBGGRR).
const QColor kHintColour(0x93, 0x93, 0xff);

// Fusion, with hints that wake up sooner than the toolkit's default.
class BrowserStyle : public QProxyStyle
{
public:
    BrowserStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {}

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return kHintWakeUpMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Shows a control's own hint for a fixed time instead of the toolkit's, which grows with
// the text. Hints a control works out itself (list items, menu entries) are left alone.
class HintTiming : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const QString hint = widget->toolTip();
        if (hint.isEmpty())
            return false;
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), hint, widget, QRect(), kHintShowMs);
        return true;
    }
};

} // namespace

void applyTheme(QApplication &app)
{
    QApplication::setStyle(new BrowserStyle);
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
    p.setColor(QPalette::ToolTipBase, kHintColour);
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Link, QColor(0x5f, 0xd7, 0xff));
    p.setColor(QPalette::PlaceholderText, QColor(0x70, 0x70, 0x70));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x50, 0x70, 0x50));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6a, 0x6a, 0x6a));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x6a, 0x6a, 0x6a));
    QApplication::setPalette(p);
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, kHintColour);
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);
    app.setStyleSheet(QStringLiteral("QToolTip { background: %1; color: black; border: 1px solid #808080; }")
                          .arg(kHintColour.name()));
    app.installEventFilter(new HintTiming(&app));
}

} // namespace orv::frontend
