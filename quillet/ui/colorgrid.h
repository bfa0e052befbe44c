// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QWidget>

#include "quillet/core/highlightattributes.h"

namespace quillet::ui {

// A 4 by 4 grid of the 16 standard colours. A left click chooses the foreground colour,
// a right click the background colour; both choices stay marked ("FG", "BG").
class ColorGrid : public QWidget
{
    Q_OBJECT

public:
    static const std::array<core::TColor, 16> kColors;

    explicit ColorGrid(QWidget *parent = nullptr);

    core::TColor foregroundColor() const { return m_foreground; }
    core::TColor backgroundColor() const { return m_background; }
    // -1 when the colour is not one of the 16.
    int foregroundIndex() const { return indexOf(m_foreground); }
    int backgroundIndex() const { return indexOf(m_background); }
    void setForegroundColor(core::TColor colour);
    void setBackgroundColor(core::TColor colour);

    QSize sizeHint() const override;
    QRect cellRect(int index) const;

signals:
    // After every click on a cell.
    void colorsChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    static int indexOf(core::TColor colour);

    core::TColor m_foreground = 0;
    core::TColor m_background = 0;
};

} // namespace quillet::ui
