// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/result.h"

namespace quillet::core {

enum class ScriptFileError { CannotOpen = 1, CannotCreate = 2 };

// Every TAB byte replaced by exactly `spaces` blanks, without regard to tab stops. With no
// tab translation (0 or less) the text is returned unchanged rather than losing its TABs.
QByteArray convertTabs(const QByteArray &text, int spaces);

// Reads a script file, widens its TABs and writes the converted text back atomically before
// the editor shows it, so the file on disk matches the editor. Errors carry a
// ScriptFileError code: CannotOpen when the file cannot be read, CannotCreate when it
// cannot be written back (the file is then left as it was).
platform::Result<QByteArray> prepareScriptFile(const QString &path, int tabTranslation);

// Writes the editor's lines with CR LF after each, atomically. Error code CannotCreate.
platform::Status writeScriptFile(const QString &path, const QByteArray &text);

// A file name that has never been saved: a bare "UntitledN.uc" without any folder.
bool isUnsavedName(const QString &fileName);

} // namespace quillet::core
