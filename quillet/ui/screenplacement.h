// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace quillet::ui {

// Moves a window into the middle of the screen it appears on (the screen of its parent when
// it has one), rather than over the middle of its parent. Called when it is shown, once its
// size is known.
inline void centreOnScreen(QWidget &window)
{
    const QScreen *screen = window.parentWidget() ? window.parentWidget()->screen() : window.screen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace quillet::ui
