// The games folder and start-menu group the user chose, remembered for later installs.
#pragma once
#include <string>

#include "install/app.h"

namespace inst {

// Creates or opens the maker key (HKLM kMakerKey), sets "GGamesDir" to folder and
// "GGamesGroup" to group, and sets DIR_GAMES and GRP_GAMES to them in both app.variables and
// app.scriptParams; they expand as they stand, whatever characters they hold. When the key
// cannot be created nothing is stored and the result is false; it is also false when a value
// could not be written (the maps are set all the same, so this run still installs where the
// user asked).
bool StoreGameFolders(InstallerApp& app, const std::string& folder, const std::string& group);
// The folder and group named on the command line, stored as above; an empty one keeps the
// current value, a relative folder is taken from the current folder, and the install may
// change things below the folder. False with a message on stderr when they cannot be stored.
bool UseChosenFolders(InstallerApp& app, const std::string& destination, const std::string& group);

} // namespace inst
