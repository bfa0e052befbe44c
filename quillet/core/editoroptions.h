// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QString>

#include "platform/result.h"
#include "quillet/core/tokenstyle.h"

namespace quillet::core {

class Registry_Access;
class TUnrealScriptSyn;

// The key of all the editor's settings below the current user's root.
inline const QString kQuillKey = QStringLiteral("Software\\Quill\\");

constexpr int kTokenStyleSlots = 11;

// Slots that the options dialog shows, in its list order, with the item text.
struct VisibleSlot
{
    const char *item;
    int slot;
};
constexpr std::array<VisibleSlot, 7> kVisibleSlots = {{
    {"Keywords", 0},
    {"Space", 2},
    {"Comment", 5},
    {"Identifier", 6},
    {"Number", 8},
    {"Symbol", 9},
    {"String", 10},
}};

// The token styles and editor settings the main window holds for the whole run. Before
// anything is loaded the texts are empty and the numbers 0.
struct EditorOptions
{
    std::array<TTokenStyle, kTokenStyleSlots> tokenStyles{};
    QString EditorFontName;
    int EditorFontSize = 0;
    int EditorTabTranslation = 0;
    QString UTSysDir;

    friend bool operator==(const EditorOptions &, const EditorOptions &) = default;
};

// Reads the stored options over `options`: non-zero colours replace the slot's colours,
// styles are rebuilt from the four flags, the four settings fall back to "Courier New", 10,
// 2 and "c:\UnrealTournament\System". A value of the wrong type stops the loading with its
// error; what was read before it stays in `options`.
platform::Status loadEditorOptions(const Registry_Access &registry, EditorOptions &options);

// Writes every slot and setting. False when any write failed.
bool saveEditorOptions(Registry_Access &registry, const EditorOptions &options);

// Gives the highlighter's attributes the colours and styles of their slots.
void applyTokenStyles(const EditorOptions &options, TUnrealScriptSyn &highlighter);

// A readable scheme (dark text on white, keywords and comments set apart) for a first run,
// where nothing is stored yet and all-zero slots would paint black text on black.
std::array<TTokenStyle, kTokenStyleSlots> firstRunTokenStyles();

} // namespace quillet::core
