// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace orv::tools {

// Which editor the INI editor puts over a value cell.
enum class ValueEditor { PlainCell, TrueFalseBox, FileNameBox };

// Guesses from the row's key and value: an empty value under a key that names a path or a
// map (but not a map number) takes a file name; a value that mentions true or false is a
// switch; a value that looks like a map file or a Windows path takes a file name. All
// comparisons ignore case, and a later finding replaces an earlier one.
ValueEditor chooseValueEditor(QStringView key, QStringView value);

// The folder in which the file picker of the value editor starts: the INI folder with the
// game's "System" folder swapped for its "Maps" folder (a sibling found without regard to
// case, since the games ship both in whatever case the installer used).
QString mapsFolderFor(const QString &iniFolder);

} // namespace orv::tools
