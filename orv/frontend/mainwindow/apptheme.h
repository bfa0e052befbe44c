// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace orv::frontend {

// The browser's look: dark windows with lime text, on every platform alike, so dialogs,
// menus and message boxes match the main window.
void applyTheme(QApplication &app);

} // namespace orv::frontend
