// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <span>

class QAction;
class QObject;

namespace orv::frontend {

// The commands of the main window. Each one's QAction carries the command's name as its
// object name: MainAction::Refresh is "A_Refresh", MainAction::Clanes is "A_Clanes".
enum class MainAction {
    Internet,
    Local,
    Favorites,
    Refresh,
    RefreshC,
    Clanes,
    UnrealviaNetandINI,
    UnrealviaNet,
    Unreal,
    Server,
    Safe,
    Editor,
    UnrealOptions,
    GeneralOptions,
    Exit,
    Style,
    Find,
    Log,
    About,
    INIEd,
    More,
    Filter,
    Repeat,
    AddToFavorites,
    AddCustomToFavorites,
    DelFromFavorites,
    ClearFavorites,
    AdminMail,
    GotoAddress,
    ToClipboard,
    GoodPing,
    NormalPing,
    Badping,
    FilterUnreal,
    FilterUnrealTournamet,
    Aliveplayers,
    ResetFilter,
    ToClipboardUURL,
    PNameToClipboard,
    RepeatSelected,
    RepeatMultiple,
    ShortCut,
};

inline constexpr int kMainActionCount = static_cast<int>(MainAction::ShortCut) + 1;

// One command of the main window as the user meets it: name, category, caption, hint and
// shortcut. What it does and when it is enabled is wired by the main window.
struct ActionDefinition
{
    MainAction id;
    const char *name;
    const char *category;
    const char *caption;
    const char *hint;
    const char *shortcut;
};

// Every command in the order of MainAction.
std::span<const ActionDefinition> mainActionDefinitions();

using MainActions = std::array<QAction *, kMainActionCount>;

// Creates every command as a QAction (object name = command name) owned by parent,
// indexed by MainAction.
MainActions createMainActions(QObject *parent);

} // namespace orv::frontend
