// The user's own folders as the freedesktop conventions name them.
#pragma once
#include <string>

namespace sys {

// $XDG_CONFIG_HOME when it is an absolute path, otherwise $HOME/.config.
std::string ConfigHome();

// False when files cannot be made in the folder: no permission, a read-only file system, or a
// folder whose permission bits allow nobody to write (which holds even for the superuser, who
// could otherwise write into any installed folder).
bool FolderIsWritable(const std::string& hostPath);
// Creates the folder and any missing parents (private to the user); true when it exists after.
bool MakeFolders(const std::string& hostPath);

} // namespace sys
