// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/mainactions.h"

#include <iterator>

#include <QAction>
#include <QKeySequence>

namespace orv::frontend {

namespace {

// Captions and hints are the program's own texts, odd spellings included.
constexpr ActionDefinition kActions[] = {
    {MainAction::Internet, "A_Internet", "Mainmenu", "Internet", "Show internet servers", "F2"},
    {MainAction::Local, "A_Local", "Mainmenu", "Local Network", "Servers in local network", "F3"},
    {MainAction::Favorites, "A_Favorites", "Mainmenu", "Favorites", "Your favorite servers", "F4"},
    {MainAction::Refresh, "A_Refresh", "Mainmenu", "Refresh", "Refresh servers list", "F5"},
    {MainAction::RefreshC, "A_RefreshC", "Mainmenu", "Refresh Current", "Refresh current server", "Ctrl+R"},
    {MainAction::Clanes, "A_Clanes", "Mainmenu", "Clans", "Show Unreal clans!", "F6"},
    {MainAction::UnrealviaNetandINI, "A_UnrealviaNetandINI", "Mainmenu", "Unreal via Net + INI",
     "Run game via Network with different INI file", ""},
    {MainAction::UnrealviaNet, "A_UnrealviaNet", "Mainmenu", "Unreal via Net", "Run game via Network", "Ctrl+L"},
    {MainAction::Unreal, "A_Unreal", "Unreal", "Run Single", "Only run game", ""},
    {MainAction::Server, "A_Server", "Unreal", "Run Server", "Run dedicated server", ""},
    {MainAction::Safe, "A_Safe", "Unreal", "Run Unreal in \"SAFE\" mode",
     "Game in (Safe Mode) with out any user options", ""},
    {MainAction::Editor, "A_Editor", "Unreal", "Run game editor", "Run a map editor", ""},
    {MainAction::UnrealOptions, "A_UnrealOptions", "Mainmenu", "Unreal Options",
     "Unreal options (path, nick name, e.t.s)", "F8"},
    {MainAction::GeneralOptions, "A_GeneralOptions", "Mainmenu", "General Options",
     "General options (Networking, servers, Interface, e.t.s)", "F9"},
    {MainAction::Exit, "A_Exit", "Mainmenu", "Exit", "You wanna die?", "Alt+X"},
    {MainAction::Style, "A_Style", "Mainmenu", "View style", "Servers list view style", "Ctrl+V"},
    {MainAction::Find, "A_Find", "Mainmenu", "Find player", "Find a player on servers list", "Ctrl+F"},
    {MainAction::Log, "A_Log", "Mainmenu", "Show/hide log", "Show or hide log window", "Ctrl+Z"},
    {MainAction::About, "A_About", "Mainmenu", "About", "", "Ctrl+I"},
    {MainAction::INIEd, "A_INIEd", "Unreal", "Start INI files editor", "", ""},
    {MainAction::More, "A_More", "Mainmenu", "More Unreal",
     "Single mode\nSafe mode\nDedicated server\nEditor\nINI editor", ""},
    {MainAction::Filter, "A_Filter", "Mainmenu", "Filter", "", ""},
    {MainAction::Repeat, "A_Repeat", "Repeat", "Server Checker", "", ""},
    {MainAction::AddToFavorites, "A_AddToFavorites", "Favorites", "Add to Favorites selected", "", "Ctrl+A"},
    {MainAction::AddCustomToFavorites, "A_AddCustomToFavorites", "Favorites", "Add Custom server to Favorites", "",
     "Ctrl+Alt+C"},
    {MainAction::DelFromFavorites, "A_DelFromFavorites", "Favorites", "Delete from faforites", "", "Ctrl+D"},
    {MainAction::ClearFavorites, "A_ClearFavorites", "Favorites", "Delete all Favorites", "", ""},
    {MainAction::AdminMail, "A_AdminMail", "Other", "Send mail to Admin", "", "Ctrl+Alt+A"},
    {MainAction::GotoAddress, "A_GotoAddress", "Other", "Go to address", "", "Ctrl+Alt+G"},
    {MainAction::ToClipboard, "A_ToClipboard", "Other", "Copy IP and Port  to clipboard", "", "Ctrl+C"},
    {MainAction::GoodPing, "A_GoodPing", "Favorites", "With good ping", "", "Ctrl+1"},
    {MainAction::NormalPing, "A_NormalPing", "Favorites", "With normal ping", "", "Ctrl+2"},
    {MainAction::Badping, "A_Badping", "Favorites", "With bad ping", "", "Ctrl+3"},
    {MainAction::FilterUnreal, "A_FilterUnreal", "Filter", "Unreal", "", "Ctrl+U"},
    {MainAction::FilterUnrealTournamet, "A_FilterUnrealTournamet", "Filter", "Unreal Tournament", "", "Ctrl+T"},
    {MainAction::Aliveplayers, "A_Aliveplayers", "Filter", "Where players are present", "", ""},
    {MainAction::ResetFilter, "A_ResetFilter", "Filter", "Reset Filter", "", "Ctrl+Y"},
    {MainAction::ToClipboardUURL, "A_ToClipboardUURL", "Other", "Copy IP and Port as Unreal URL", "", ""},
    {MainAction::PNameToClipboard, "A_PNameToClipboard", "Other", "Copy player name to Clipboard", "", ""},
    {MainAction::RepeatSelected, "A_RepeatSelected", "Repeat", "Check selected server", "", ""},
    {MainAction::RepeatMultiple, "A_RepeatMultiple", "Repeat", "Check multiple servers", "", ""},
    {MainAction::ShortCut, "A_ShortCut", "Mainmenu", "Create server shortcut on desktop", "", ""},
};

static_assert(std::size(kActions) == kMainActionCount);

// The table is indexed by MainAction, so each row must sit at its enumerator's place.
constexpr bool inEnumOrder()
{
    for (int i = 0; i < kMainActionCount; ++i) {
        if (static_cast<int>(kActions[i].id) != i)
            return false;
    }
    return true;
}
static_assert(inEnumOrder());

} // namespace

std::span<const ActionDefinition> mainActionDefinitions()
{
    return kActions;
}

MainActions createMainActions(QObject *parent)
{
    MainActions actions{};
    for (const ActionDefinition &definition : kActions) {
        auto *action = new QAction(QString::fromUtf8(definition.caption), parent);
        action->setObjectName(QString::fromLatin1(definition.name));
        action->setProperty("category", QString::fromLatin1(definition.category));
        const QString hint = QString::fromUtf8(definition.hint);
        action->setToolTip(hint.isEmpty() ? action->text() : hint);
        action->setStatusTip(hint);
        if (*definition.shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(definition.shortcut)));
        }
        actions[static_cast<size_t>(definition.id)] = action;
    }
    return actions;
}

} // namespace orv::frontend
