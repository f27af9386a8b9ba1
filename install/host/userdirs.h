// The freedesktop folders of the user the installer runs for, from HOME and the XDG variables.
#pragma once
#include <string>
#include <vector>

namespace host {

std::string HomeFolder();
std::string ConfigHome(); // $XDG_CONFIG_HOME or ~/.config
std::string DataHome();   // $XDG_DATA_HOME or ~/.local/share
// A folder from ~/.config/user-dirs.dirs ("DESKTOP", "DOCUMENTS", ...) or $HOME/<fallback>.
std::string UserDir(const std::string& name, const std::string& fallback);
// HOME, the XDG base folders and the XDG user folders: the desktop's, never the installer's.
std::vector<std::string> DesktopFolders();
// The installer's own state folder (hives, pending operations, the "Windows" folder).
std::string InstallerStateFolder();
// Creates a folder and its missing parents (host path).
bool MakeFolders(const std::string& hostPath);

} // namespace host
