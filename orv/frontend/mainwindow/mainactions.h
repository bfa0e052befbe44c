// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include <QHash>
#include <QString>

class QAction;
class QObject;

namespace orv::frontend {

// One command of the main window as the user meets it: name, category, caption, hint and
// shortcut. What it does and when it is enabled is wired by the main window.
struct ActionSpec
{
    const char *name;
    const char *category;
    const char *caption;
    const char *hint;
    const char *shortcut;
};

std::span<const ActionSpec> mainActionSpecs();

// Creates every command as a QAction (object name = command name) owned by parent.
QHash<QString, QAction *> createMainActions(QObject *parent);

} // namespace orv::frontend
