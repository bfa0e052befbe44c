// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace platform {
class RegistryStore;
}

namespace orv::frontend {

class PropertyTable;
class TFormStorage;
class TMainForm;

// The main window's two settings storages: "Main form state" (view styles, fonts, image
// lists, sort columns, the players panel, the reiterative filter) and "Main form state\"
// (the list columns and the window's position and state).
struct MainFormStorages
{
    TFormStorage *storage1 = nullptr;
    TFormStorage *storage2 = nullptr;
};

// The standard property table plus the main window's own controls (server views, the
// players panel).
std::shared_ptr<const PropertyTable> mainFormPropertyTable();

// Creates both storages on the window in declaration order (FormStorage2 first), and
// decides the first run from "NewOptions" once FormStorage2 has loaded.
MainFormStorages attachMainFormStorages(TMainForm &form, platform::RegistryStore &store);

} // namespace orv::frontend
