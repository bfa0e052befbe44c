// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/mainactions.h"

#include <QAction>
#include <QKeySequence>

namespace orv::frontend {

namespace {

// Captions and hints are the program's own texts, odd spellings included.
constexpr ActionSpec kActions[] = {
    {"A_Internet", "Mainmenu", "Internet", "Show internet servers", "F2"},
    {"A_Local", "Mainmenu", "Local Network", "Servers in local network", "F3"},
    {"A_Favorites", "Mainmenu", "Favorites", "Your favorite servers", "F4"},
    {"A_Refresh", "Mainmenu", "Refresh", "Refresh servers list", "F5"},
    {"A_RefreshC", "Mainmenu", "Refresh Current", "Refresh current server", "Ctrl+R"},
    {"A_Clanes", "Mainmenu", "Clans", "Show Unreal clans!", "F6"},
    {"A_UnrealviaNetandINI", "Mainmenu", "Unreal via Net + INI", "Run game via Network with different INI file", ""},
    {"A_UnrealviaNet", "Mainmenu", "Unreal via Net", "Run game via Network", "Ctrl+L"},
    {"A_Unreal", "Unreal", "Run Single", "Only run game", ""},
    {"A_Server", "Unreal", "Run Server", "Run dedicated server", ""},
    {"A_Safe", "Unreal", "Run Unreal in \"SAFE\" mode", "Game in (Safe Mode) with out any user options", ""},
    {"A_Editor", "Unreal", "Run game editor", "Run a map editor", ""},
    {"A_UnrealOptions", "Mainmenu", "Unreal Options", "Unreal options (path, nick name, e.t.s)", "F8"},
    {"A_GeneralOptions", "Mainmenu", "General Options", "General options (Networking, servers, Interface, e.t.s)",
     "F9"},
    {"A_Exit", "Mainmenu", "Exit", "You wanna die?", "Alt+X"},
    {"A_Style", "Mainmenu", "View style", "Servers list view style", "Ctrl+V"},
    {"A_Find", "Mainmenu", "Find player", "Find a player on servers list", "Ctrl+F"},
    {"A_Log", "Mainmenu", "Show/hide log", "Show or hide log window", "Ctrl+Z"},
    {"A_About", "Mainmenu", "About", "", "Ctrl+I"},
    {"A_INIEd", "Unreal", "Start INI files editor", "", ""},
    {"A_More", "Mainmenu", "More Unreal", "Single mode\nSafe mode\nDedicated server\nEditor\nINI editor", ""},
    {"A_Filter", "Mainmenu", "Filter", "", ""},
    {"A_Repeat", "Repeat", "Server Checker", "", ""},
    {"A_AddToFavorites", "Favorites", "Add to Favorites selected", "", "Ctrl+A"},
    {"A_AddCustomToFavorites", "Favorites", "Add Custom server to Favorites", "", "Ctrl+Alt+C"},
    {"A_DelFromFavorites", "Favorites", "Delete from faforites", "", "Ctrl+D"},
    {"A_ClearFavorites", "Favorites", "Delete all Favorites", "", ""},
    {"A_AdminMail", "Other", "Send mail to Admin", "", "Ctrl+Alt+A"},
    {"A_GotoAddress", "Other", "Go to address", "", "Ctrl+Alt+G"},
    {"A_ToClipboard", "Other", "Copy IP and Port  to clipboard", "", "Ctrl+C"},
    {"A_GoodPing", "Favorites", "With good ping", "", "Ctrl+1"},
    {"A_NormalPing", "Favorites", "With normal ping", "", "Ctrl+2"},
    {"A_Badping", "Favorites", "With bad ping", "", "Ctrl+3"},
    {"A_FilterUnreal", "Filter", "Unreal", "", "Ctrl+U"},
    {"A_FilterUnrealTournamet", "Filter", "Unreal Tournament", "", "Ctrl+T"},
    {"A_Aliveplayers", "Filter", "Where players are present", "", ""},
    {"A_ResetFilter", "Filter", "Reset Filter", "", "Ctrl+Y"},
    {"A_ToClipboardUURL", "Other", "Copy IP and Port as Unreal URL", "", ""},
    {"A_PNameToClipboard", "Other", "Copy player name to Clipboard", "", ""},
    {"A_RepeatSelected", "Repeat", "Check selected server", "", ""},
    {"A_RepeatMultiple", "Repeat", "Check multiple servers", "", ""},
    {"A_ShortCut", "Mainmenu", "Create server shortcut on desktop", "", ""},
};

} // namespace

std::span<const ActionSpec> mainActionSpecs()
{
    return kActions;
}

QHash<QString, QAction *> createMainActions(QObject *parent)
{
    QHash<QString, QAction *> actions;
    for (const ActionSpec &spec : kActions) {
        auto *action = new QAction(QString::fromUtf8(spec.caption), parent);
        action->setObjectName(QString::fromLatin1(spec.name));
        action->setProperty("category", QString::fromLatin1(spec.category));
        const QString hint = QString::fromUtf8(spec.hint);
        action->setToolTip(hint.isEmpty() ? action->text() : hint);
        action->setStatusTip(hint);
        if (*spec.shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
        }
        actions.insert(action->objectName(), action);
    }
    return actions;
}

} // namespace orv::frontend
