// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/colorgrid.h"

#include <QMouseEvent>
#include <QPainter>

#include "quillet/ui/unrealscriptlexer.h"

namespace quillet::ui {

// Black, maroon, green, olive / navy, purple, teal, gray / silver, red, lime, yellow /
// blue, fuchsia, aqua, white, as 0x00BBGGRR values.
const std::array<core::TColor, 16> ColorGrid::kColors = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

ColorGrid::ColorGrid(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(96, 96);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

int ColorGrid::indexOf(core::TColor colour)
{
    for (int i = 0; i < 16; ++i) {
        if (kColors[static_cast<std::size_t>(i)] == colour)
            return i;
    }
    return -1;
}

void ColorGrid::setForegroundColor(core::TColor colour)
{
    m_foreground = colour;
    update();
}

void ColorGrid::setBackgroundColor(core::TColor colour)
{
    m_background = colour;
    update();
}

QSize ColorGrid::sizeHint() const
{
    return {128, 128};
}

QRect ColorGrid::cellRect(int index) const
{
    const int w = width() / 4;
    const int h = height() / 4;
    return {(index % 4) * w, (index / 4) * h, w, h};
}

void ColorGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int fg = foregroundIndex();
    const int bg = backgroundIndex();
    for (int i = 0; i < 16; ++i) {
        const QRect cell = cellRect(i).adjusted(1, 1, -1, -1);
        const QColor colour = UnrealScriptLexer::toQColor(kColors[static_cast<std::size_t>(i)]);
        painter.fillRect(cell, colour);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        QString mark;
        if (i == fg)
            mark = tr("FG");
        if (i == bg)
            mark = mark.isEmpty() ? tr("BG") : mark + QStringLiteral("/") + tr("BG");
        if (!mark.isEmpty()) {
            const int luminance = (299 * colour.red() + 587 * colour.green() + 114 * colour.blue()) / 1000;
            painter.setPen(luminance > 140 ? Qt::black : Qt::white);
            painter.drawRect(cell.adjusted(2, 2, -3, -3));
            painter.drawText(cell, Qt::AlignCenter, mark);
        }
    }
}

void ColorGrid::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < 16; ++i) {
        if (!cellRect(i).contains(event->position().toPoint()))
            continue;
        if (event->button() == Qt::LeftButton)
            m_foreground = kColors[static_cast<std::size_t>(i)];
        else if (event->button() == Qt::RightButton)
            m_background = kColors[static_cast<std::size_t>(i)];
        else
            return;
        update();
        emit colorsChanged();
        return;
    }
}

} // namespace quillet::ui
