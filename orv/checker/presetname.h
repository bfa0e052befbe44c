// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

// Checker preset names become parts of key paths ("Repeat\" + name, "Repeat\" + name +
// ".Prg_Items"), so characters that would move a preset onto another key are kept out.
namespace orv::checker {

constexpr int kMaxPresetNameLength = 50;
constexpr int kMaxPresets = 255;

// Whether the presets box takes this typed character: ".", "/" and "\" are refused.
bool presetBoxAccepts(QChar c);

// A name from the import box checked by the box's rules and a little more: at most 50
// characters, none of ".", "/", "\" and no control characters. Returns the message to
// show when the name is refused. An empty name is not refused here: it ends the import
// without a message.
std::optional<QString> importedPresetNameProblem(QStringView name);

enum class PresetAdd {
    Added,     // the name may be appended
    Ignored,   // empty name, or 255 names already: nothing happens, no message
    Duplicate, // a name equal to it (case counts) is in the list: "Change preset name!"
    // a name differing from it only in letter case is in the list; the settings store
    // finds keys whatever their case, so both would share one stored preset
    CaseDuplicate
};

// Whether "Add preset" (and an import) may append the name to the list.
PresetAdd checkPresetAdd(const QStringList &names, const QString &name);
QString duplicatePresetMessage();
// The message for a name that differs from an existing preset only in letter case.
QString caseDuplicatePresetMessage(const QStringList &names, const QString &name);

// The settings section of a preset below "SOFTWARE\Orvane" ("Repeat\" + name), and the
// two keys that deleting the preset removes with everything below them.
QString presetSection(const QString &name);
QStringList presetKeysToDelete(const QString &name);

} // namespace orv::checker
