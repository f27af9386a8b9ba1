// The games folder and start-menu group the user chose, remembered for later installs.
#pragma once
#include <string>

#include "install/app.h"

namespace inst {

// Creates or opens the maker key (HKLM kMakerKey), sets "GGamesDir" to folder and "GGamesGroup"
// to group, and sets DIR_GAMES and GRP_GAMES to them in both app.variables and
// app.scriptParams. When the key cannot be created nothing is stored and the result is false;
// it is also false when a value could not be written (the maps are set all the same, so this
// run still installs where the user asked).
bool StoreGameFolders(InstallerApp& app, const std::string& folder, const std::string& group);

} // namespace inst
